// The receive thread's failures are counted with the system's reason, not
// dropped: a receive that fails (and retires its socket) and a wait that
// fails.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>

#include "protocol/local_sockets.h"
#include "protocol/reply_queue.h"
#include "protocol/reply_receiver.h"
#include "platform/udp_socket.h"
#include "tests/lab/search_probe.h"
#include "tests/support/addresses.h"
#include "tests/support/replies.h"
#include "tests/support/socket_port.h"
#include "tests/support/wait.h"

namespace vimbrel::lab {
namespace {

using test::kComputer;

// The receive thread over the sockets of the computer's one link.
class ReceiveErrorsLab : public ::testing::Test {
protected:
    void SetUp() override {
        LAB_REQUIRE_ROOT();
        m_lab.AddLink("192.168.2.100/24");  // lo stays up: it carries datagrams to kComputer
        m_lab.EnterComputer();
        RequirePrivateNetwork();
        m_sockets.RefreshLocalSockets(m_sockets.TakeSendTurn());
        ASSERT_EQ(m_sockets.LiveAddresses(), std::vector<std::uint32_t>{kComputer});
        m_receiver.Start();
    }

    LabNetwork m_lab;
    protocol::LocalSockets m_sockets;
    protocol::ReplyQueue m_queue;
    protocol::ReplyReceiver m_receiver{m_sockets, m_queue, nullptr};
};

TEST_F(ReceiveErrorsLab, AFailedReceiveIsCountedWithItsReasonAndRetiresTheSocket) {
    EXPECT_EQ(m_receiver.Errors().receives, 0u);
    // Connected to a port nobody listens on, the socket gets the system's
    // "port unreachable" as its pending error: its next receive fails.
    {
        const protocol::LocalSockets::Guard held = m_sockets.Lock();
        const platform::SocketHandle s = held.Entries().front().socket;
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(9);
        to.sin_addr.s_addr = htonl(kComputer);
        ASSERT_EQ(connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
        ASSERT_EQ(send(s, "x", 1, 0), 1);
    }
    ASSERT_TRUE(test::WaitUntil([&] { return m_receiver.Errors().receives > 0; }));
    const protocol::ReceiveErrors errors = m_receiver.Errors();
    EXPECT_EQ(errors.receives, 1u);
    EXPECT_EQ(errors.waits, 0u);
    EXPECT_EQ(errors.last.code, ECONNREFUSED);
    EXPECT_FALSE(errors.last.text.empty());
    EXPECT_TRUE(m_sockets.LiveAddresses().empty());  // until the next refresh
}

TEST_F(ReceiveErrorsLab, AFailedWaitIsCountedWithItsReason) {
    // A wait on more descriptors than the process may open fails (EINVAL)
    // without touching the sockets; the limit is back before the test ends.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 1;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    m_sockets.WakeReceiver();  // a new wait, under the low limit
    const bool counted = test::WaitUntil([&] { return m_receiver.Errors().waits > 0; });
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    ASSERT_TRUE(counted);
    const protocol::ReceiveErrors errors = m_receiver.Errors();
    EXPECT_EQ(errors.receives, 0u);
    EXPECT_EQ(errors.last.code, EINVAL);
    // The thread goes on: once the limit is back, a reply is queued.
    const std::uint16_t port = test::PortOf(m_sockets.Lock(), kComputer);
    ASSERT_NE(port, 0);
    const platform::SocketHandle sender = platform::OpenUdpSocket();
    const protocol::ReplyBuffer reply = test::NumberedReply(1);
    platform::SendDatagram(sender, reply.data(), reply.size(), kComputer, port);
    platform::CloseSocket(sender);
    EXPECT_TRUE(test::WaitUntil([&] { return m_queue.Size() == 1; }));
}

}  // namespace
}  // namespace vimbrel::lab
