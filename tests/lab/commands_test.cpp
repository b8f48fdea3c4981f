// The command senders on the wire: each puts one 344-byte packet on every
// live socket, multicast then broadcast.
#include <gtest/gtest.h>

#include "platform/udp_socket.h"
#include "protocol/command_sender.h"
#include "tests/lab/search_probe.h"

namespace vimbrel::lab {
namespace {

// Two links with a camera each and lo down: exactly two live sockets. The
// MAC and serial sent match no camera, so nothing moves or restarts.
TEST(CommandsLab, EverySenderPutsItsPacketOnEverySocket) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.SetLoopback(false);
    CameraConfig first, second;
    second.ip = "192.168.3.10";
    const int cameras[] = {lab.AddCamera(lab.AddLink("192.168.2.100/24"), first),
                           lab.AddCamera(lab.AddLink("192.168.3.100/24"), second)};
    lab.EnterComputer();
    RequirePrivateNetwork();
    protocol::LocalSockets sockets;

    protocol::SendCommand(sockets, protocol::CMD_REBOOT, protocol::CellBuffer{'S', 'N', '9'});
    protocol::SendSetModel(sockets, "02:00:00:00:00:99", "IPC-8800");
    protocol::SendSetNetwork(sockets,
                             protocol::MakeNetConfig(platform::ParseIPv4("255.255.255.0"),
                                                     platform::ParseIPv4("192.168.2.1")),
                             "02:00:00:00:00:99");

    const std::uint8_t codes[] = {0x67, 0x69, 0x66};  // reboot, set model, set network
    for (int camera : cameras) {
        std::vector<LoggedDatagram> log = WaitForDatagrams(lab, camera, 6);
        ASSERT_EQ(log.size(), 6u) << "camera " << camera;
        for (std::size_t i = 0; i < log.size(); ++i) {
            SCOPED_TRACE("datagram " + std::to_string(i));
            ASSERT_EQ(log[i].bytes.size(), 344u);
            EXPECT_EQ(log[i].bytes[0], codes[i / 2]);
            EXPECT_EQ(log[i].kind, i % 2 == 0 ? "multicast" : "broadcast");
            EXPECT_EQ(log[i].bytes, log[i - i % 2].bytes);
        }
    }
}

}  // namespace
}  // namespace vimbrel::lab
