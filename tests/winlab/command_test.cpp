// A command on Winsock: what reaches the camera, byte by byte.
#include <gtest/gtest.h>

#include <cstring>

#include "protocol/command_sender.h"
#include "protocol/device_packet.h"
#include "protocol/local_sockets.h"
#include "tests/winlab/winlab.h"

namespace vimbrel::winlab {
namespace {

TEST(CommandWinlab, RebootCarriesTheSerialNumber) {
    protocol::LocalSockets sockets;
    const std::size_t before = CameraLog("cam2").size();
    protocol::CellBuffer serial{};
    std::memcpy(serial.data(), "SN0002", 6);
    protocol::SendCommand(sockets, protocol::CMD_REBOOT, serial);

    const std::vector<LoggedDatagram> log = WaitForDatagrams("cam2", before, 2);
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

}  // namespace
}  // namespace vimbrel::winlab
