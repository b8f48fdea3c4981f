// The camera simulator itself: it survives whatever reaches it and plays the
// commands the tests rely on.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "platform/udp_socket.h"
#include "protocol/command_sender.h"
#include "tests/lab/lab_network.h"
#include "tests/lab/search_probe.h"

namespace vimbrel::lab {
namespace {

using namespace std::chrono_literals;

protocol::CellBuffer Serial(const char* text) {
    protocol::CellBuffer buffer{};
    std::memcpy(buffer.data(), text, std::strlen(text));
    return buffer;
}

TEST(CamsimLab, MalformedDatagramsDoNotStopIt) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    int link = lab.AddLink("192.168.2.100/24");
    int camera = lab.AddCamera(link, CameraConfig{});
    lab.EnterComputer();

    platform::SocketHandle sender = platform::OpenUdpSocket();
    ASSERT_NE(sender, platform::kInvalidSocket);
    ASSERT_TRUE(platform::EnableBroadcast(sender));
    ASSERT_TRUE(platform::BindSocket(sender, platform::ParseIPv4("192.168.2.100"), 0));
    const std::uint32_t cameraAddress = platform::ParseIPv4("192.168.2.10");
    std::vector<std::uint8_t> one(1, 0x64), big(2000, 0xAB), garbage(344);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 37 + 11);
    std::vector<std::uint8_t> reply(388, 0);  // a DeviceReply is not a request
    reply[0] = 100;
    std::memcpy(reply.data() + 8, "IpCamera", 8);
    std::memcpy(reply.data() + 16, "IpCamera", 8);
    std::vector<std::uint8_t> shortRequest(343, 0);  // a request one byte short
    shortRequest[0] = 100;
    std::memcpy(shortRequest.data() + 8, "IpCamera", 8);
    for (const auto* datagram : {&one, &big, &garbage, &reply, &shortRequest})
        EXPECT_TRUE(platform::SendDatagram(sender, datagram->data(), datagram->size(), cameraAddress, 9876));
    EXPECT_TRUE(platform::SendDatagram(sender, "", 0, cameraAddress, 9876));
    EXPECT_TRUE(platform::SendDatagram(sender, big.data(), big.size(), platform::ParseIPv4("255.255.255.255"), 9876));

    std::vector<LoggedDatagram> log = WaitForDatagrams(lab, camera, 7);
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[0].bytes, one);
    EXPECT_EQ(log[1].bytes, big);
    EXPECT_EQ(log[2].bytes, garbage);
    EXPECT_TRUE(log[5].bytes.empty());
    EXPECT_EQ(log[0].kind, "unicast");
    EXPECT_EQ(log[6].kind, "broadcast");

    // Nothing above was answered; a real search still is.
    bool failed = false;
    EXPECT_TRUE(platform::WaitReadable({sender}, 300ms, failed).empty());
    platform::CloseSocket(sender);
    SearchProbe probe;
    EXPECT_EQ(probe.Search().size(), 2u);
}

TEST(CamsimLab, RebootSilencesItAndFactoryResetRestoresIt) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    int link = lab.AddLink("192.168.2.100/24");
    CameraConfig config;
    config.extraArgs = {"--reboot-seconds", "2"};
    lab.AddCamera(link, config);
    lab.EnterComputer();
    SearchProbe probe;

    protocol::SendSetModel(probe.Sockets(), "00:1A:2B:3C:4D:01", "XY-1");
    protocol::SendCommand(probe.Sockets(), protocol::CMD_MOTOR_START, Serial("SN0001"));
    std::vector<protocol::ReplyBuffer> replies = probe.Search();
    ASSERT_FALSE(replies.empty());
    EXPECT_EQ(protocol::DeviceReply(replies[0]).ModelName(), L"XY-1");
    EXPECT_EQ(protocol::DeviceReply(replies[0]).RunStatus(), L"马达运行");

    protocol::SendCommand(probe.Sockets(), protocol::CMD_MOTOR_STOP, Serial("SN0001"));
    replies = probe.Search();
    ASSERT_FALSE(replies.empty());
    EXPECT_EQ(protocol::DeviceReply(replies[0]).RunStatus(), L"马达停止");

    protocol::SendCommand(probe.Sockets(), protocol::CMD_REBOOT, Serial("SN0001"));
    EXPECT_TRUE(probe.Search(300ms).empty());
    std::this_thread::sleep_for(2500ms);

    protocol::SendCommand(probe.Sockets(), protocol::CMD_FACTORY_RESET, Serial("SN0001"));
    replies = probe.Search();
    ASSERT_FALSE(replies.empty());
    EXPECT_EQ(protocol::DeviceReply(replies[0]).ModelName(), L"ZR420");
    EXPECT_EQ(protocol::DeviceReply(replies[0]).RunStatus(), L"running");
}

TEST(CamsimLab, CountPlaysManyCameras) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    int link = lab.AddLink("192.168.2.100/24");
    CameraConfig config;
    config.serial = "SN";
    config.mac = "00:1A:2B:3C:4D:FE";
    config.count = 5;
    lab.AddCamera(link, config);
    lab.EnterComputer();
    SearchProbe probe;

    std::set<std::wstring> seen;
    for (const protocol::ReplyBuffer& reply : probe.Search()) {
        protocol::DeviceReply fields(reply);
        seen.insert(fields.SerialNo() + L" " + fields.MacText() + L" " + fields.IpText());
    }
    EXPECT_EQ(seen, (std::set<std::wstring>{
                        L"SN-0001 00:1A:2B:3C:4D:FE 192.168.2.10",
                        L"SN-0002 00:1A:2B:3C:4D:FF 192.168.2.11",
                        L"SN-0003 00:1A:2B:3C:4E:00 192.168.2.12",
                        L"SN-0004 00:1A:2B:3C:4E:01 192.168.2.13",
                        L"SN-0005 00:1A:2B:3C:4E:02 192.168.2.14",
                    }));
}

}  // namespace
}  // namespace vimbrel::lab
