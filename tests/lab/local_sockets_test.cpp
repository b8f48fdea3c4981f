// The socket list and the fan-out send, in the private network: which
// sockets the refresh opens, and what reaches the wire in which order.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>

#include "platform/udp_socket.h"
#include "tests/lab/lab_network.h"
#include "tests/lab/search_probe.h"

namespace vimbrel::lab {
namespace {

using protocol::LocalSocket;
using protocol::LocalSockets;

constexpr std::uint32_t Ip(int a, int b, int c, int d) {
    return static_cast<std::uint32_t>(a) << 24 | static_cast<std::uint32_t>(b) << 16 |
           static_cast<std::uint32_t>(c) << 8 | static_cast<std::uint32_t>(d);
}

std::vector<LocalSocket> Snapshot(LocalSockets& sockets) {
    std::lock_guard<std::mutex> lock(sockets.Lock());
    return {sockets.Entries().begin(), sockets.Entries().end()};
}

std::multiset<std::uint32_t> AddressesOf(const std::vector<LocalSocket>& entries) {
    std::multiset<std::uint32_t> addresses;
    for (const LocalSocket& entry : entries) addresses.insert(entry.address);
    return addresses;
}

TEST(LocalSocketsLab, TwoInterfacesAndLoopbackGiveThreeEntriesOnce) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.AddLink("192.168.2.100/24");
    lab.AddLink("10.20.0.100/24");
    lab.EnterComputer();
    LocalSockets sockets;

    sockets.RefreshLocalSockets();
    std::vector<LocalSocket> first = Snapshot(sockets);
    EXPECT_EQ(AddressesOf(first),
              (std::multiset<std::uint32_t>{Ip(127, 0, 0, 1), Ip(192, 168, 2, 100), Ip(10, 20, 0, 100)}));
    for (const LocalSocket& entry : first) {
        ASSERT_NE(entry.socket, platform::kInvalidSocket);
        EXPECT_EQ(platform::SocketLocalAddress(entry.socket), entry.address);
        EXPECT_NE(platform::SocketLocalPort(entry.socket).value_or(0), 0);
    }

    sockets.RefreshLocalSockets();
    std::vector<LocalSocket> second = Snapshot(sockets);
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].socket, first[i].socket);
        EXPECT_EQ(second[i].address, first[i].address);
    }
}

TEST(LocalSocketsLab, DeadEntryIsReplacedAtTheEnd) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.AddLink("192.168.2.100/24");
    lab.EnterComputer();
    LocalSockets sockets;
    sockets.RefreshLocalSockets();
    std::vector<LocalSocket> before = Snapshot(sockets);
    ASSERT_EQ(before.size(), 2u);  // lo and the link

    {
        std::lock_guard<std::mutex> lock(sockets.Lock());
        sockets.MarkDead(before.front().socket);
        EXPECT_EQ(sockets.Entries().front().socket, platform::kInvalidSocket);
    }
    sockets.RefreshLocalSockets();
    std::vector<LocalSocket> after = Snapshot(sockets);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].address, before[1].address);
    EXPECT_EQ(after[0].socket, before[1].socket);
    EXPECT_EQ(after[1].address, before[0].address);
    ASSERT_NE(after[1].socket, platform::kInvalidSocket);
    EXPECT_EQ(platform::SocketLocalAddress(after[1].socket), before[0].address);
}

// Three links with a camera each, lo down: one send puts six datagrams on
// the wire, multicast then broadcast per socket, about 50 ms apart.
TEST(LocalSocketsLab, ThreeSocketsSendSixDatagramsInOrder) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.SetLoopback(false);
    const char* computer[] = {"192.168.2.100", "192.168.3.100", "192.168.4.100"};
    const char* cameras[] = {"192.168.2.10", "192.168.3.10", "192.168.4.10"};
    std::map<std::uint32_t, int> cameraOfAddress;
    for (int i = 0; i < 3; ++i) {
        int link = lab.AddLink(std::string(computer[i]) + "/24");
        CameraConfig config;
        config.ip = cameras[i];
        config.serial = "SN000" + std::to_string(i + 1);
        config.mac = "00:1A:2B:3C:4D:0" + std::to_string(i + 1);
        cameraOfAddress[platform::ParseIPv4(computer[i])] = lab.AddCamera(link, config);
    }
    lab.EnterComputer();
    LocalSockets sockets;
    sockets.RefreshLocalSockets();
    std::vector<LocalSocket> entries = Snapshot(sockets);
    ASSERT_EQ(entries.size(), 3u);

    protocol::DevicePacket packet = protocol::MakeSearchRequest(std::time(nullptr));
    sockets.SendToAllSockets(packet);

    struct Seen {
        double time;
        std::size_t entry;
        std::string kind;
    };
    std::vector<Seen> seen;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        int camera = cameraOfAddress.at(entries[e].address);
        std::vector<LoggedDatagram> log = WaitForDatagrams(lab, camera, 2);
        ASSERT_EQ(log.size(), 2u) << "camera " << camera;
        std::string source = std::to_string(entries[e].address >> 24) + "." +
                             std::to_string(entries[e].address >> 16 & 255) + "." +
                             std::to_string(entries[e].address >> 8 & 255) + "." +
                             std::to_string(entries[e].address & 255) + ":" +
                             std::to_string(*platform::SocketLocalPort(entries[e].socket));
        for (const LoggedDatagram& d : log) {
            EXPECT_EQ(d.source, source);
            EXPECT_EQ(d.bytes.size(), 344u);
            EXPECT_TRUE(std::equal(d.bytes.begin(), d.bytes.end(), packet.bytes().begin()));
            seen.push_back({d.time, e, d.kind});
        }
    }
    std::sort(seen.begin(), seen.end(), [](const Seen& a, const Seen& b) { return a.time < b.time; });
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE("datagram " + std::to_string(i));
        EXPECT_EQ(seen[i].entry, i / 2);
        EXPECT_EQ(seen[i].kind, i % 2 == 0 ? "multicast" : "broadcast");
        if (i % 2 == 1) {
            double gap = seen[i].time - seen[i - 1].time;
            EXPECT_GE(gap, 0.040);
            EXPECT_LE(gap, 0.250);
        }
    }
}

TEST(LocalSocketsLab, NoAddressSendsNothingAndRaisesNothing) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.SetLoopback(false);
    lab.EnterComputer();
    LocalSockets sockets;
    sockets.RefreshLocalSockets();
    EXPECT_TRUE(Snapshot(sockets).empty());
    auto start = std::chrono::steady_clock::now();
    sockets.SendToAllSockets(protocol::MakeSearchRequest(std::time(nullptr)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
    EXPECT_TRUE(Snapshot(sockets).empty());
}

}  // namespace
}  // namespace vimbrel::lab
