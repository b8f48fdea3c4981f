// The search on Winsock: the simulators' replies received and accepted by
// the receive thread, and a datagram longer than the receive buffer read cut
// as on Linux, without costing the socket.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>

#include "platform/udp_socket.h"
#include "protocol/device_packet.h"
#include "protocol/local_sockets.h"
#include "protocol/reply_queue.h"
#include "protocol/reply_receiver.h"
#include "tests/winlab/winlab.h"

namespace vimbrel::winlab {
namespace {

using namespace std::chrono_literals;

class SearchWinlab : public testing::Test {
protected:
    SearchWinlab() : m_receiver(m_sockets, m_replies, [this] { ++m_notifies; }) {
        m_sockets.RefreshLocalSockets(m_sockets.TakeSendTurn());
        m_receiver.Start();
    }

    // The replies queued until at least `count` have come or the time is up.
    std::vector<protocol::ReplyBuffer> TakeReplies(std::size_t count) {
        std::vector<protocol::ReplyBuffer> replies;
        const auto end = std::chrono::steady_clock::now() + 3s;
        while (replies.size() < count && std::chrono::steady_clock::now() < end) {
            protocol::ReplyQueue::Replies taken = m_replies.TakeAll();
            for (const auto& reply : taken) replies.push_back(*reply);
            if (taken.empty()) std::this_thread::sleep_for(10ms);
        }
        return replies;
    }

    platform::SocketHandle SocketOf(const char* address) {
        const protocol::LocalSockets::Guard guard = m_sockets.Lock();
        for (const protocol::LocalSocket& entry : guard.Entries())
            if (entry.address == Address(address)) return entry.socket;
        return platform::kInvalidSocket;
    }

    protocol::LocalSockets m_sockets;
    protocol::ReplyQueue m_replies;
    std::atomic<int> m_notifies{0};
    protocol::ReplyReceiver m_receiver;  // last: stops before the rest goes
};

TEST_F(SearchWinlab, BothCamerasAnswerAndTheirRepliesAreAccepted) {
    EXPECT_GT(m_sockets
                  .SendToAllSockets(m_sockets.TakeSendTurn(),
                                    protocol::MakeSearchRequest(std::time(nullptr)))
                  .sent,
              0u);
    // Each camera answers the multicast and the broadcast copy.
    const std::vector<protocol::ReplyBuffer> replies = TakeReplies(4);
    ASSERT_EQ(replies.size(), 4u);
    EXPECT_GE(m_notifies.load(), 1);  // one per batch the window had not taken yet
    std::vector<std::wstring> serials;
    for (const protocol::ReplyBuffer& reply : replies) {
        EXPECT_TRUE(protocol::IsDeviceReply(reply.data(), static_cast<long>(reply.size())));
        const protocol::DeviceReply device(reply);
        serials.push_back(device.SerialNo());
        if (device.SerialNo() == L"SN0001") {
            EXPECT_EQ(device.RunStatus(), L"运行中");  // GBK on the wire
            EXPECT_EQ(device.IpText(), L"192.168.2.10");
            EXPECT_EQ(device.MacText(), L"00:1A:2B:3C:4D:01");
        }
    }
    std::sort(serials.begin(), serials.end());
    EXPECT_EQ(serials, (std::vector<std::wstring>{L"SN0001", L"SN0001", L"SN0002", L"SN0002"}));
}

// 600 bytes whose first 388 are a reply: the receive gives those 388 and the
// reply is accepted (the Linux build reads such a datagram cut too); the
// socket stays in the list and takes the next datagram.
TEST_F(SearchWinlab, LongDatagramIsReadCutAndTheSocketLives) {
    const platform::SocketHandle target = SocketOf("192.168.2.100");
    ASSERT_NE(target, platform::kInvalidSocket);
    const std::uint16_t port = platform::SocketLocalPort(target).value();

    std::vector<std::uint8_t> datagram(600);
    for (std::size_t i = 0; i < datagram.size(); ++i)
        datagram[i] = static_cast<std::uint8_t>(i * 7);
    const std::uint8_t head[] = {100, 0, 0, 0};
    std::memcpy(&datagram[0], head, 4);
    std::memcpy(&datagram[16], "IpCamera\0", 9);
    std::memcpy(&datagram[292], "LONG0001\0", 9);  // serial number

    const platform::SocketHandle sender = platform::OpenUdpSocket();
    ASSERT_NE(sender, platform::kInvalidSocket);
    ASSERT_TRUE(platform::BindSocket(sender, Address("192.168.2.100"), 0));
    ASSERT_TRUE(platform::SendDatagram(sender, datagram.data(), datagram.size(),
                                       Address("192.168.2.100"), port));
    std::vector<protocol::ReplyBuffer> replies = TakeReplies(1);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_TRUE(std::equal(replies[0].begin(), replies[0].end(), datagram.begin()));
    EXPECT_EQ(protocol::DeviceReply(replies[0]).SerialNo(), L"LONG0001");
    EXPECT_EQ(SocketOf("192.168.2.100"), target);

    std::memcpy(&datagram[292], "NEXT0002\0", 9);
    ASSERT_TRUE(
        platform::SendDatagram(sender, datagram.data(), 388, Address("192.168.2.100"), port));
    replies = TakeReplies(1);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(protocol::DeviceReply(replies[0]).SerialNo(), L"NEXT0002");
    platform::CloseSocket(sender);
}

}  // namespace
}  // namespace vimbrel::winlab
