// A command on Winsock: what reaches the camera, byte by byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "protocol/command_sender.h"
#include "protocol/device_packet.h"
#include "protocol/local_sockets.h"
#include "tests/winlab/winlab.h"

namespace vimbrel::winlab {
namespace {

TEST(CommandWinlab, RebootCarriesTheSerialNumber) {
    protocol::LocalSockets sockets;
    const std::size_t otherBefore = CameraLog("cam1").size();
    const std::size_t before = CameraLog("cam2").size();
    EXPECT_GT(protocol::SendCommand(sockets, sockets.TakeSendTurn(), protocol::CMD_REBOOT,
                                    *protocol::CheckSerialIdentity(L"SN0002"))
                  .sent,
              0u);

    // Only the reboot's copies: a search's late copy is no concern here.
    const std::vector<LoggedDatagram> log = WaitForDatagrams(
        "cam2", before, 2,
        [](const LoggedDatagram& d) { return d.bytes.size() == 344 && d.bytes[0] == 103; });
    // The other link's camera hears both copies too: in its log before the
    // next test counts it.
    EXPECT_GE(WaitForDatagrams("cam1", otherBefore, 2).size(), 2u);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].kind, "multicast");
    EXPECT_EQ(log[1].kind, "broadcast");
    for (const LoggedDatagram& d : log) {
        ASSERT_EQ(d.bytes.size(), 344u);
        EXPECT_EQ(d.source.substr(0, d.source.find(':')), "192.168.3.100");
        const std::vector<std::uint8_t> command(d.bytes.begin(), d.bytes.begin() + 4);
        EXPECT_EQ(command, (std::vector<std::uint8_t>{103, 0, 0, 0}));
        EXPECT_EQ(std::memcmp(&d.bytes[8], "IpCamera", 8), 0);
        EXPECT_EQ(std::memcmp(&d.bytes[248], "SN0002", 6), 0);
        for (std::size_t i = 254; i < 280; ++i) EXPECT_EQ(d.bytes[i], 0) << "byte " << i;
        for (std::size_t i = 20; i < 26; ++i) EXPECT_EQ(d.bytes[i], 0) << "byte " << i;
    }
}

// The text at `offset`: its bytes up to the first zero, and zeros after it
// to the end of the 32-byte field.
std::string FieldText(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::string text;
    std::size_t i = offset;
    for (; i < offset + 32 && bytes[i] != 0; ++i) text += static_cast<char>(bytes[i]);
    for (; i < offset + 32; ++i)
        if (bytes[i] != 0) return "(not zero-padded)";
    return text;
}

// To a MAC no camera has, so that no simulated camera changes: the camera
// on the first link logs what arrives, its own or not.
TEST(CommandWinlab, SetNetworkAndSetModelCarryTheirFields) {
    protocol::LocalSockets sockets;
    const std::size_t before = CameraLog("cam1").size();
    protocol::NetConfig block = protocol::MakeNetConfig(0xFFFFFF00, 0xC0A80201);
    protocol::SetNetConfigAddress(block, "192.168.2.77");
    const auto target = protocol::CheckMacIdentity(std::string_view("02:00:00:00:00:99"));
    ASSERT_TRUE(target);
    EXPECT_GT(protocol::SendSetNetwork(sockets, sockets.TakeSendTurn(), block, *target).sent, 0u);
    EXPECT_GT(protocol::SendSetModel(sockets, sockets.TakeSendTurn(), *target, "ZR4500").sent, 0u);

    const std::vector<std::uint8_t> mac = {0x02, 0, 0, 0, 0, 0x99};
    // Only what carries this MAC: the reboot above reached this camera too.
    const std::vector<LoggedDatagram> log =
        WaitForDatagrams("cam1", before, 4, [&](const LoggedDatagram& d) {
            return d.bytes.size() >= 26 &&
                   std::vector<std::uint8_t>(d.bytes.begin() + 20, d.bytes.begin() + 26) == mac;
        });
    ASSERT_EQ(log.size(), 4u);
    for (std::size_t n = 0; n < 4; ++n) {
        const std::vector<std::uint8_t>& b = log[n].bytes;
        ASSERT_EQ(b.size(), 344u);
        EXPECT_EQ(log[n].kind, n % 2 == 0 ? "multicast" : "broadcast");
        EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 20, b.begin() + 26), mac);
        EXPECT_EQ(std::memcmp(&b[8], "IpCamera", 8), 0);
    }
    for (std::size_t n = 0; n < 2; ++n) {
        const std::vector<std::uint8_t>& b = log[n].bytes;
        EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 4),
                  (std::vector<std::uint8_t>{102, 0, 0, 0}));
        EXPECT_EQ(FieldText(b, 56), "192.168.2.77");
        EXPECT_EQ(FieldText(b, 88), "255.255.255.0");
        EXPECT_EQ(FieldText(b, 120), "192.168.2.1");
    }
    for (std::size_t n = 2; n < 4; ++n) {
        const std::vector<std::uint8_t>& b = log[n].bytes;
        EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 4),
                  (std::vector<std::uint8_t>{105, 0, 0, 0}));
        EXPECT_EQ(FieldText(b, 216), "ZR4500");
    }
}

}  // namespace
}  // namespace vimbrel::winlab
