// The socket list and the fan-out send on Winsock: a socket per local
// address, and multicast then broadcast from each one.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <mutex>
#include <set>

#include "platform/udp_socket.h"
#include "protocol/device_packet.h"
#include "protocol/local_sockets.h"
#include "tests/winlab/winlab.h"

namespace vimbrel::winlab {
namespace {

using protocol::LocalSocket;
using protocol::LocalSockets;

std::vector<LocalSocket> Snapshot(LocalSockets& sockets) {
    std::lock_guard<std::mutex> lock(sockets.Lock());
    return {sockets.Entries().begin(), sockets.Entries().end()};
}

TEST(LocalSocketsWinlab, OneSocketPerLocalAddressOnce) {
    LocalSockets sockets;
    sockets.RefreshLocalSockets();
    const std::vector<LocalSocket> first = Snapshot(sockets);
    std::multiset<std::uint32_t> addresses;
    for (const LocalSocket& entry : first) {
        addresses.insert(entry.address);
        EXPECT_EQ(platform::SocketLocalAddress(entry.socket), entry.address);
        EXPECT_NE(platform::SocketLocalPort(entry.socket).value_or(0), 0);
    }
    EXPECT_EQ(addresses, (std::multiset<std::uint32_t>{Address("127.0.0.1"),
                                                       Address("192.168.2.100"),
                                                       Address("192.168.3.100")}));

    sockets.RefreshLocalSockets();
    const std::vector<LocalSocket> second = Snapshot(sockets);
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(second[i].socket, first[i].socket);
}

// Each camera sees its link's socket send the packet to the group, then
// about 50 ms later to the broadcast address; the sockets take turns.
TEST(LocalSocketsWinlab, MulticastThenBroadcastFromEachAddress) {
    LocalSockets sockets;
    sockets.RefreshLocalSockets();
    const std::size_t before1 = CameraLog("cam1").size(), before2 = CameraLog("cam2").size();
    const protocol::DevicePacket packet = protocol::MakeSearchRequest(std::time(nullptr));
    sockets.SendToAllSockets(packet);

    struct Seen {
        double time;
        std::uint32_t from;
        std::string kind;
        bool operator<(const Seen& other) const { return time < other.time; }
    };
    std::vector<Seen> seen;
    const std::pair<const char*, std::size_t> cameras[] = {{"cam1", before1}, {"cam2", before2}};
    for (int i = 0; i < 2; ++i) {
        const std::vector<LoggedDatagram> log = WaitForDatagrams(cameras[i].first, cameras[i].second, 2);
        ASSERT_EQ(log.size(), 2u) << cameras[i].first;
        for (const LoggedDatagram& d : log) {
            const std::string address = d.source.substr(0, d.source.find(':'));
            EXPECT_EQ(address, kLinkAddresses[i]);
            EXPECT_TRUE(std::equal(d.bytes.begin(), d.bytes.end(), packet.bytes().begin(),
                                   packet.bytes().end()));
            seen.push_back({d.time, Address(address.c_str()), d.kind});
        }
    }
    std::sort(seen.begin(), seen.end());
    // The sockets' order in the list decides which link comes first.
    std::vector<std::uint32_t> order;
    for (const LocalSocket& entry : Snapshot(sockets))
        if (entry.address != Address("127.0.0.1")) order.push_back(entry.address);
    ASSERT_EQ(order.size(), 2u);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE("datagram " + std::to_string(i));
        EXPECT_EQ(seen[i].from, order[i / 2]);
        EXPECT_EQ(seen[i].kind, i % 2 == 0 ? "multicast" : "broadcast");
        if (i % 2 == 1) {
            EXPECT_GE(seen[i].time - seen[i - 1].time, 0.040);
            EXPECT_LE(seen[i].time - seen[i - 1].time, 0.250);
        }
    }
}

}  // namespace
}  // namespace vimbrel::winlab
