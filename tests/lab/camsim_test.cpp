// The camera simulator survives whatever reaches it and answers only a
// real search.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/ipv4_text.h"
#include "platform/udp_socket.h"
#include "tests/lab/search_probe.h"

namespace vimbrel::lab {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kRequestMagicOffset = 8, kReplyMagicOffset = 16;  // "IpCamera"

TEST(CamsimLab, MalformedDatagramsDoNotStopIt) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    int camera = lab.AddCamera(lab.AddLink("192.168.2.100/24"), CameraConfig{});
    lab.EnterComputer();
    RequirePrivateNetwork();

    platform::SocketHandle sender = platform::OpenUdpSocket();
    ASSERT_TRUE(platform::EnableBroadcast(sender));
    ASSERT_TRUE(platform::BindSocket(sender, *platform::ParseIPv4("192.168.2.100"), 0));
    std::vector<std::uint8_t> empty, one(1, 0x64), big(2000, 0xAB), garbage(344), reply(388, 0),
        shortRequest(343, 0);
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<std::uint8_t>(i * 37 + 11);
    reply[0] = shortRequest[0] = 100;  // a reply is not a request; nor is one byte short
    std::memcpy(reply.data() + kRequestMagicOffset, "IpCamera", 8);
    std::memcpy(reply.data() + kReplyMagicOffset, "IpCamera", 8);
    std::memcpy(shortRequest.data() + kRequestMagicOffset, "IpCamera", 8);
    for (const auto* datagram : {&empty, &one, &big, &garbage, &reply, &shortRequest})
        EXPECT_TRUE(platform::SendDatagram(sender, datagram->data(), datagram->size(),
                                           *platform::ParseIPv4("192.168.2.10"), 9876));
    EXPECT_TRUE(platform::SendDatagram(sender, big.data(), big.size(),
                                       *platform::ParseIPv4("255.255.255.255"), 9876));
    EXPECT_EQ(WaitForDatagrams(lab, camera, 7).size(), 7u);

    // Nothing above was answered; a real search still is.
    bool failed = false;
    platform::WaitWake wake;
    EXPECT_TRUE(platform::WaitReadable({sender}, 300ms, wake, failed).empty());
    platform::CloseSocket(sender);
    SearchProbe probe;
    EXPECT_EQ(probe.Search(2).size(), 2u);
}

}  // namespace
}  // namespace vimbrel::lab
