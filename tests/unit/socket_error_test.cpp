// Why a socket call failed: the system's number and words, kept per thread.
// Only handles that are no socket are used: nothing is sent anywhere.
#include <gtest/gtest.h>

#include <thread>

#include "platform/udp_socket.h"

namespace vimbrel::platform {
namespace {

TEST(SocketError, FailedCallsOnNoSocketTellWhyAndASuccessClearsIt) {
    const unsigned char datagram[4] = {1, 2, 3, 4};
    EXPECT_FALSE(SendDatagram(kInvalidSocket, datagram, sizeof datagram, 0x7F000001, 9));
    const SocketError send = LastSocketError();
    EXPECT_TRUE(send);
    EXPECT_NE(send.code, 0);
    EXPECT_FALSE(send.text.empty());

    EXPECT_FALSE(BindSocket(kInvalidSocket, 0x7F000001, 0));
    EXPECT_TRUE(LastSocketError());
    EXPECT_FALSE(EnableBroadcast(kInvalidSocket));
    EXPECT_EQ(LastSocketError().code, send.code);  // the same bad handle
    EXPECT_EQ(LastSocketError().text, send.text);

    const SocketHandle s = OpenUdpSocket();
    ASSERT_NE(s, kInvalidSocket);
    EXPECT_FALSE(LastSocketError());
    EXPECT_TRUE(LastSocketError().text.empty());
    CloseSocket(s);
}

TEST(SocketError, EachThreadHasItsOwn) {
    const unsigned char datagram[1] = {0};
    EXPECT_FALSE(SendDatagram(kInvalidSocket, datagram, sizeof datagram, 0x7F000001, 9));
    SocketError other{1, "not read"};
    std::thread([&] { other = LastSocketError(); }).join();
    EXPECT_FALSE(other);
    EXPECT_TRUE(LastSocketError());
}

}  // namespace
}  // namespace vimbrel::platform
