// The receive thread at scale: a burst that the system's default receive
// buffer could not hold is drained whole, every one of many local addresses
// is heard, replies are read while a search pauses between its multicast
// and its broadcast, and a stop does not wait out the wait.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#include "platform/udp_socket.h"
#include "tests/lab/search_probe.h"
#include "tests/support/addresses.h"
#include "tests/support/replies.h"
#include "tests/support/socket_port.h"
#include "tests/support/wait.h"

namespace vimbrel::lab {
namespace {

using namespace std::chrono_literals;

using test::kComputer;
using test::NumberedReply;
using test::PortOf;
using test::ReplyNumber;

// Sends from a socket of the computer's own namespace.
class Sender {
public:
    Sender() : m_socket(platform::OpenUdpSocket()) { RequirePrivateNetwork(); }
    ~Sender() { platform::CloseSocket(m_socket); }
    void Send(const protocol::ReplyBuffer& reply, std::uint16_t port,
              std::uint32_t to = kComputer) {
        platform::SendDatagram(m_socket, reply.data(), reply.size(), to, port);
    }

private:
    platform::SocketHandle m_socket;
};

// The replies queued within `limit`, once `count` are there.
std::vector<protocol::ReplyBuffer> Collect(protocol::ReplyQueue& queue, std::size_t count,
                                           std::chrono::milliseconds limit) {
    std::vector<protocol::ReplyBuffer> replies;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (replies.size() < count && std::chrono::steady_clock::now() < end) {
        for (const auto& reply : queue.TakeAll()) replies.push_back(*reply);
        std::this_thread::sleep_for(5ms);
    }
    return replies;
}

TEST(ReceiveLab, BurstLargerThanTheDefaultBufferIsDrainedWhole) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.AddLink("192.168.2.100/24");
    lab.EnterComputer();
    protocol::LocalSockets sockets;
    protocol::ReplyQueue queue;
    std::atomic<int> notifies{0};
    protocol::ReplyReceiver receiver(sockets, queue, [&] { ++notifies; });
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    receiver.Start();

    // The system's default buffer (212,992 bytes) holds about 166 replies;
    // 2000 must wait in the socket while the receive thread is kept out.
    constexpr std::uint16_t kBurst = 2000;
    Sender sender;
    {
        const protocol::LocalSockets::Guard held = sockets.Lock();
        const std::uint16_t port = PortOf(held, kComputer);
        ASSERT_NE(port, 0);
        for (std::uint16_t n = 0; n < kBurst; ++n) {
            sender.Send(NumberedReply(n), port);
            if (n % 100 == 99) std::this_thread::sleep_for(1ms);  // the kernel's backlog keeps up
        }
    }
    const std::vector<protocol::ReplyBuffer> replies = Collect(queue, kBurst, 5s);
    std::set<std::uint16_t> numbers;
    for (const auto& reply : replies) numbers.insert(ReplyNumber(reply));
    EXPECT_EQ(replies.size(), kBurst);
    EXPECT_EQ(numbers.size(), kBurst);
    EXPECT_EQ(queue.Dropped(), 0u);
    EXPECT_LE(notifies.load(), 10) << "one word to the reader per batch, not one per reply";
}

// A socket whose buffer is full drops what comes next; the system's count of
// those drops reaches the queue's count, so none is lost unseen.
TEST(ReceiveLab, RepliesTheSystemDroppedOnAFullSocketAreCounted) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.AddLink("192.168.2.100/24");
    lab.EnterComputer();
    protocol::LocalSockets sockets;
    protocol::ReplyQueue queue;
    protocol::ReplyReceiver receiver(sockets, queue, nullptr);
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    receiver.Start();

    constexpr std::uint16_t kBurst = 300;
    Sender sender;
    {
        const protocol::LocalSockets::Guard held = sockets.Lock();
        const std::uint16_t port = PortOf(held, kComputer);
        ASSERT_NE(port, 0);
        for (const auto& entry : held.Entries())
            if (entry.address == kComputer) platform::SetReceiveBuffer(entry.socket, 4096);
        for (std::uint16_t n = 0; n < kBurst; ++n) sender.Send(NumberedReply(n), port);
    }
    std::size_t queued = 0;
    EXPECT_TRUE(test::WaitUntil([&] {
        queued += queue.TakeAll().size();
        return queued + queue.Dropped() >= kBurst;
    }));
    EXPECT_GT(queued, 0u);
    EXPECT_GT(queue.Dropped(), 0u);
    EXPECT_EQ(queued + queue.Dropped(), kBurst);
}

TEST(ReceiveLab, ReplySentDuringTheSearchPauseIsQueuedBeforeTheBroadcast) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.SetLoopback(false);
    const int camera = lab.AddCamera(lab.AddLink("192.168.2.100/24"), CameraConfig{});
    lab.EnterComputer();
    Sender sender;
    protocol::ReplyQueue queue;
    std::uint16_t port = 0;
    int pauses = 0;
    bool queuedInPause = false;
    double pauseEnd = 0;
    protocol::LocalSockets sockets(platform::LocalIPv4Addresses, [&](std::chrono::milliseconds) {
        ++pauses;
        sender.Send(NumberedReply(7), port);
        const auto end = std::chrono::steady_clock::now() + 2s;
        while (queue.Size() == 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        queuedInPause = queue.Size() == 1;
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        pauseEnd = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
    });
    protocol::ReplyReceiver receiver(sockets, queue, [] {});
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    port = PortOf(sockets.Lock(), kComputer);
    ASSERT_NE(port, 0);
    receiver.Start();

    EXPECT_GT(sockets
                  .SendToAllSockets(sockets.TakeSendTurn(),
                                    protocol::MakeSearchRequest(std::time(nullptr)))
                  .sent,
              0u);
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(queuedInPause);
    // The broadcast still went out, after the pause.
    std::vector<LoggedDatagram> log = WaitForDatagrams(lab, camera, 2);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].kind, "broadcast");
    EXPECT_GT(log[1].time, pauseEnd - 0.001);
}

// More addresses than one select() set holds: a reply to the last socket is
// queued as one to the first.
TEST(ReceiveLab, EveryOneOfSeventyTwoLocalAddressesIsHeard) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;  // lo up: it carries the datagrams to the computer's own addresses
    lab.AddLink("192.168.2.100/24");
    lab.RunInComputer(
        {"sh", "-c", "for h in $(seq 101 171); do ip addr add 192.168.2.$h/24 dev br0; done"});
    lab.EnterComputer();
    protocol::LocalSockets sockets;
    protocol::ReplyQueue queue;
    protocol::ReplyReceiver receiver(sockets, queue, [] {});
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    std::uint32_t first = 0, last = 0;
    std::uint16_t firstPort = 0, lastPort = 0;
    {
        const protocol::LocalSockets::Guard held = sockets.Lock();
        ASSERT_EQ(held.Entries().size(), 72u);
        first = held.Entries().front().address;
        last = held.Entries().back().address;
        firstPort = PortOf(held, first);
        lastPort = PortOf(held, last);
    }
    receiver.Start();
    Sender sender;
    sender.Send(NumberedReply(1), lastPort, last);
    sender.Send(NumberedReply(2), firstPort, first);
    const std::vector<protocol::ReplyBuffer> replies = Collect(queue, 2, 3s);

    std::set<int> numbers;
    for (const auto& reply : replies) numbers.insert(ReplyNumber(reply));
    EXPECT_EQ(numbers, (std::set<int>{1, 2}));
}

// The receive thread's wait made far longer than the test's deadlines: only
// a wake ends it in time.
constexpr auto kLongWait = 60s;

// Nothing arrives: Stop wakes the wait instead of waiting it out.
TEST(ReceiveLab, StopWakesTheWait) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.AddLink("192.168.2.100/24");
    lab.EnterComputer();
    protocol::LocalSockets sockets;
    protocol::ReplyQueue queue;
    protocol::ReplyReceiver receiver(
        sockets, queue, [] {}, kLongWait);
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    receiver.Start();
    std::this_thread::sleep_for(50ms);  // most likely in its wait now; either way it must end
    std::thread stopper([&] { receiver.Stop(); });
    EXPECT_TRUE(test::WaitUntil([&] { return receiver.Exited(); }, 10s));
    stopper.join();
}

// A search sent on every socket is answered and the reply queued, well
// within the receive thread's own long wait.
void ExpectSearchHeard(protocol::LocalSockets& sockets, protocol::ReplyQueue& queue) {
    EXPECT_GT(sockets
                  .SendToAllSockets(sockets.TakeSendTurn(),
                                    protocol::MakeSearchRequest(std::time(nullptr)))
                  .sent,
              0u);
    EXPECT_TRUE(test::WaitUntil([&] { return queue.Size() > 0; }, 10s));
}

// A refresh that opens a socket wakes the wait, which then takes the new
// socket too: the reply of a camera on a link that came up later arrives
// long before the wait would have ended.
TEST(ReceiveLab, ARefreshThatAddsASocketWakesTheWait) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.SetLoopback(false);
    lab.AddLink("192.168.2.100/24");
    lab.EnterComputer();
    protocol::LocalSockets sockets;
    protocol::ReplyQueue queue;
    protocol::ReplyReceiver receiver(
        sockets, queue, [] {}, kLongWait);
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    ASSERT_EQ(sockets.Lock().Entries().size(), 1u);
    receiver.Start();
    std::this_thread::sleep_for(50ms);  // most likely in its wait on the one socket

    CameraConfig camera;
    camera.ip = "192.168.3.10";
    lab.AddCamera(lab.AddLink("192.168.3.100/24"), camera);
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    ASSERT_EQ(sockets.Lock().Entries().size(), 2u);
    ExpectSearchHeard(sockets, queue);
    receiver.Stop();
}

// With no socket yet the wait watches only its wake: the refresh that opens
// the first socket ends it, and the new socket is heard at once.
TEST(ReceiveLab, ARefreshThatAddsTheFirstSocketWakesTheWait) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.SetLoopback(false);  // no address at all: no socket
    lab.EnterComputer();
    protocol::LocalSockets sockets;
    protocol::ReplyQueue queue;
    protocol::ReplyReceiver receiver(
        sockets, queue, [] {}, kLongWait);
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    ASSERT_TRUE(sockets.LiveAddresses().empty());
    receiver.Start();
    std::this_thread::sleep_for(50ms);  // most likely in its wait on nothing

    lab.AddCamera(lab.AddLink("192.168.2.100/24"), CameraConfig{});
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    ASSERT_EQ(sockets.LiveAddresses().size(), 1u);
    ExpectSearchHeard(sockets, queue);
    receiver.Stop();
}

}  // namespace
}  // namespace vimbrel::lab
