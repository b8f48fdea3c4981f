// The socket list and the fan-out send on Winsock: a socket per local
// address, and multicast then broadcast from each one.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <set>
#include <string>

#include "platform/udp_socket.h"
#include "protocol/device_packet.h"
#include "protocol/local_sockets.h"
#include "tests/winlab/winlab.h"

namespace vimbrel::winlab {
namespace {

using protocol::LocalSocket;
using protocol::LocalSockets;

std::vector<LocalSocket> Snapshot(LocalSockets& sockets) {
    const LocalSockets::Guard guard = sockets.Lock();
    return {guard.Entries().begin(), guard.Entries().end()};
}

// One socket per adapter address; loopback, up beside them, gets none.
TEST(LocalSocketsWinlab, OneSocketPerAdapterAddressOnce) {
    LocalSockets sockets;
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    const std::vector<LocalSocket> first = Snapshot(sockets);
    std::multiset<std::uint32_t> addresses;
    for (const LocalSocket& entry : first) {
        addresses.insert(entry.address);
        EXPECT_EQ(platform::SocketLocalAddress(entry.socket), entry.address);
        EXPECT_NE(platform::SocketLocalPort(entry.socket).value_or(0), 0);
    }
    EXPECT_EQ(addresses,
              (std::multiset<std::uint32_t>{Address("192.168.2.100"), Address("192.168.3.100")}));

    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    const std::vector<LocalSocket> second = Snapshot(sockets);
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(second[i].socket, first[i].socket);
}

// Each camera sees its link's socket send the packet to the group, then
// about 50 ms later to the broadcast address; the sockets do not take
// turns: both multicasts go out before either broadcast. (The simulators
// stamp a datagram when they read it, so the order between two of them is
// only as good as the machine's scheduling.)
TEST(LocalSocketsWinlab, MulticastThenBroadcastFromEachAddress) {
    LocalSockets sockets;
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    const std::size_t before[] = {CameraLog("cam1").size(), CameraLog("cam2").size()};
    // A stamp of its own: copies of the searches before this test can still
    // arrive, and only this test's are counted.
    const protocol::DevicePacket packet = protocol::MakeSearchRequest(0x5EED);
    EXPECT_GT(sockets.SendToAllSockets(sockets.TakeSendTurn(), packet).sent, 0u);

    double multicast[2] = {0, 0}, broadcast[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const std::string camera = "cam" + std::to_string(i + 1);
        SCOPED_TRACE(camera);
        const std::vector<LoggedDatagram> log =
            WaitForDatagrams(camera, before[i], 2, [&](const LoggedDatagram& d) {
                return std::equal(d.bytes.begin(), d.bytes.end(), packet.bytes().begin(),
                                  packet.bytes().end());
            });
        ASSERT_EQ(log.size(), 2u);
        for (const LoggedDatagram& d : log) {
            EXPECT_EQ(d.source.substr(0, d.source.find(':')), kLinkAddresses[i]);
            EXPECT_TRUE(std::equal(d.bytes.begin(), d.bytes.end(), packet.bytes().begin(),
                                   packet.bytes().end()));
        }
        EXPECT_EQ(log[0].kind, "multicast");
        EXPECT_EQ(log[1].kind, "broadcast");
        EXPECT_GE(log[1].time - log[0].time, 0.040);  // a loaded machine only adds to it
        multicast[i] = log[0].time;
        broadcast[i] = log[1].time;
    }
    // One pause for both: each multicast comes well before the other
    // link's broadcast (taking turns, one link's pair would end first).
    EXPECT_LT(multicast[0], broadcast[1] - 0.020);
    EXPECT_LT(multicast[1], broadcast[0] - 0.020);
}

}  // namespace
}  // namespace vimbrel::winlab
