// The command senders on the wire, read back from the simulators' logs, and
// a set-network command that really moves a camera.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/arp_probe.h"
#include "platform/udp_socket.h"
#include "protocol/command_sender.h"
#include "tests/lab/lab_network.h"
#include "tests/lab/search_probe.h"

namespace vimbrel::lab {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t to) {
    return Bytes(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to));
}

bool AllZero(const Bytes& bytes, std::size_t from, std::size_t to) {
    return std::all_of(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to),
                       [](std::uint8_t b) { return b == 0; });
}

Bytes Text(const char* text) { return Bytes(text, text + std::strlen(text)); }

const Bytes kMagic = {0x49, 0x70, 0x43, 0x61, 0x6D, 0x65, 0x72, 0x61};  // "IpCamera"

// Two links with a camera each and lo down: exactly two live sockets.
class CommandsLab : public ::testing::Test {
protected:
    void SetUp() override {
        if (!IsRoot()) return;
        m_lab = std::make_unique<LabNetwork>();
        m_lab->SetLoopback(false);
        int first = m_lab->AddLink("192.168.2.100/24");
        int second = m_lab->AddLink("192.168.3.100/24");
        CameraConfig one;
        one.ip = "192.168.2.10";
        one.serial = "SN000001";
        one.mac = "00:11:22:33:44:55";
        CameraConfig two;
        two.ip = "192.168.3.10";
        two.serial = "SN000002";
        two.mac = "00:11:22:33:44:66";
        m_first = m_lab->AddCamera(first, one);
        m_second = m_lab->AddCamera(second, two);
        m_lab->EnterComputer();
        m_sockets.RefreshLocalSockets();
    }
    void TearDown() override { m_lab.reset(); }

    // Every datagram both cameras received: each must see the packet twice.
    std::vector<LoggedDatagram> OnTheWire() {
        std::vector<LoggedDatagram> first = WaitForDatagrams(*m_lab, m_first, 2);
        std::vector<LoggedDatagram> second = WaitForDatagrams(*m_lab, m_second, 2);
        EXPECT_EQ(first.size(), 2u);
        EXPECT_EQ(second.size(), 2u);
        first.insert(first.end(), second.begin(), second.end());
        for (std::size_t i = 0; i < first.size(); ++i) {
            EXPECT_EQ(first[i].bytes.size(), 344u);
            EXPECT_EQ(first[i].kind, i % 2 == 0 ? "multicast" : "broadcast");
            EXPECT_EQ(first[i].bytes, first[0].bytes);
        }
        return first;
    }

    std::unique_ptr<LabNetwork> m_lab;
    int m_first = 0, m_second = 0;
    protocol::LocalSockets m_sockets;
};

TEST_F(CommandsLab, RebootCarriesTheSerialOnEverySocket) {
    LAB_REQUIRE_ROOT();
    protocol::CellBuffer serial{};
    std::memcpy(serial.data(), "SN000001", 8);
    protocol::SendCommand(m_sockets, protocol::CMD_REBOOT, serial);

    std::vector<LoggedDatagram> wire = OnTheWire();
    ASSERT_FALSE(wire.empty());
    const Bytes& b = wire[0].bytes;
    ASSERT_EQ(b.size(), 344u);
    EXPECT_EQ(Slice(b, 0, 4), (Bytes{0x67, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(AllZero(b, 4, 8));
    EXPECT_EQ(Slice(b, 8, 16), kMagic);
    EXPECT_TRUE(AllZero(b, 16, 248));  // no MAC, no net_config, no model
    EXPECT_EQ(Slice(b, 248, 256), (Bytes{0x53, 0x4E, 0x30, 0x30, 0x30, 0x30, 0x30, 0x31}));
    EXPECT_TRUE(AllZero(b, 256, 344));

    ASSERT_TRUE(WaitFor([&] { return !m_lab->CameraEvents(m_first).empty(); }, 2000ms));
    EXPECT_EQ(m_lab->CameraEvents(m_first).front(), "SN000001 reboot");
    EXPECT_TRUE(m_lab->CameraEvents(m_second).empty());
}

TEST_F(CommandsLab, SetModelCarriesMacAndNameAndChangesTheModel) {
    LAB_REQUIRE_ROOT();
    protocol::SendSetModel(m_sockets, "00:11:22:33:44:55", "IPC-8800");

    std::vector<LoggedDatagram> wire = OnTheWire();
    ASSERT_FALSE(wire.empty());
    const Bytes& b = wire[0].bytes;
    ASSERT_EQ(b.size(), 344u);
    EXPECT_EQ(Slice(b, 0, 4), (Bytes{0x69, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(AllZero(b, 4, 8));
    EXPECT_EQ(Slice(b, 8, 16), kMagic);
    EXPECT_TRUE(AllZero(b, 16, 20));
    EXPECT_EQ(Slice(b, 20, 26), (Bytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_TRUE(AllZero(b, 26, 216));
    EXPECT_EQ(Slice(b, 216, 224), (Bytes{0x49, 0x50, 0x43, 0x2D, 0x38, 0x38, 0x30, 0x30}));
    EXPECT_TRUE(AllZero(b, 224, 344));

    SearchProbe probe;
    std::vector<protocol::ReplyBuffer> replies = probe.Search();
    ASSERT_EQ(replies.size(), 4u);
    for (const protocol::ReplyBuffer& reply : replies) {
        protocol::DeviceReply fields(reply);
        EXPECT_EQ(fields.ModelName(),
                  fields.SerialNo() == L"SN000001" ? std::wstring(L"IPC-8800") : std::wstring(L"ZR420"));
    }
}

TEST_F(CommandsLab, SetNetworkCarriesTheBlockAndMovesTheCamera) {
    LAB_REQUIRE_ROOT();
    protocol::NetConfig block = protocol::MakeNetConfig(platform::ParseIPv4("255.255.255.0"),
                                                        platform::ParseIPv4("192.168.2.1"));
    protocol::SetNetConfigAddress(block, "192.168.2.20");
    protocol::SendSetNetwork(m_sockets, block, "00:11:22:33:44:55");

    std::vector<LoggedDatagram> wire = OnTheWire();
    ASSERT_FALSE(wire.empty());
    const Bytes& b = wire[0].bytes;
    ASSERT_EQ(b.size(), 344u);
    EXPECT_EQ(Slice(b, 0, 4), (Bytes{0x66, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Slice(b, 8, 16), kMagic);
    EXPECT_EQ(Slice(b, 20, 26), (Bytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_TRUE(AllZero(b, 28, 56));
    auto field = [&](std::size_t offset, const char* text) {
        Bytes expected = Text(text);
        expected.resize(32, 0);
        EXPECT_EQ(Slice(b, offset, offset + 32), expected) << "at " << offset;
    };
    field(56, "192.168.2.20");
    field(88, "255.255.255.0");
    field(120, "192.168.2.1");
    field(152, "192.168.2.1");
    field(184, "0.0.0.0");
    EXPECT_TRUE(AllZero(b, 216, 344));

    ASSERT_TRUE(WaitFor(
        [&] {
            std::vector<std::string> events = m_lab->CameraEvents(m_first);
            return std::find(events.begin(), events.end(), "moved eth0 192.168.2.20/24") != events.end();
        },
        3000ms));
    EXPECT_TRUE(m_lab->CameraEvents(m_second).empty());

    SearchProbe probe;
    std::vector<protocol::ReplyBuffer> replies = probe.Search();
    ASSERT_EQ(replies.size(), 4u);
    for (const protocol::ReplyBuffer& reply : replies) {
        protocol::DeviceReply fields(reply);
        EXPECT_EQ(fields.IpText(), fields.SerialNo() == L"SN000001" ? std::wstring(L"192.168.2.20")
                                                                     : std::wstring(L"192.168.3.10"));
    }
    std::unique_ptr<platform::ArpProbe> arp = platform::MakeSystemArpProbe();
    EXPECT_TRUE(arp->HostAnswers(platform::ParseIPv4("192.168.2.20")));
    EXPECT_FALSE(arp->HostAnswers(platform::ParseIPv4("192.168.2.10")));
}

}  // namespace
}  // namespace vimbrel::lab
