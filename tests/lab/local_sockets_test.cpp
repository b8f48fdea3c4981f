// The socket list and the fan-out send in the private network: which
// sockets a refresh opens, and what one send puts on the wire.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>

#include "platform/ipv4_text.h"
#include "platform/udp_socket.h"
#include "tests/lab/search_probe.h"

namespace vimbrel::lab {
namespace {

using platform::ParseIPv4;
using protocol::LocalSocket;
using protocol::LocalSockets;

std::vector<LocalSocket> Snapshot(LocalSockets& sockets) {
    const LocalSockets::Guard lock = sockets.Lock();
    return {lock.Entries().begin(), lock.Entries().end()};
}

// Loopback gets a socket only when the computer has no other address: a
// search from 127.0.0.1 reaches no camera.
TEST(LocalSocketsLab, TwoInterfacesGiveTwoEntriesOnceAndLoopbackNone) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.AddLink("192.168.2.100/24");
    lab.AddLink("10.20.0.100/24");
    lab.EnterComputer();
    LocalSockets sockets;
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    std::vector<LocalSocket> first = Snapshot(sockets);
    std::multiset<std::uint32_t> addresses;
    for (const LocalSocket& entry : first) {
        addresses.insert(entry.address);
        EXPECT_EQ(platform::SocketLocalAddress(entry.socket), entry.address);
    }
    EXPECT_EQ(addresses, (std::multiset<std::uint32_t>{*ParseIPv4("192.168.2.100"),
                                                       *ParseIPv4("10.20.0.100")}));

    sockets.RefreshLocalSockets(
        sockets.TakeSendTurn());  // nothing new: the same sockets, no copies
    std::vector<LocalSocket> second = Snapshot(sockets);
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(second[i].socket, first[i].socket);
}

TEST(LocalSocketsLab, LoopbackAloneGetsItsSocket) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.EnterComputer();
    LocalSockets sockets;
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    const std::vector<LocalSocket> entries = Snapshot(sockets);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].address, *ParseIPv4("127.0.0.1"));
}

TEST(LocalSocketsLab, DeadEntryIsReplacedAtTheEnd) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.AddLink("192.168.2.100/24");
    lab.AddLink("192.168.3.100/24");
    lab.EnterComputer();
    LocalSockets sockets;
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    std::vector<LocalSocket> before = Snapshot(sockets);
    ASSERT_EQ(before.size(), 2u);
    sockets.Lock().MarkDead(before.front().socket);
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    std::vector<LocalSocket> after = Snapshot(sockets);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].socket, before[1].socket);
    EXPECT_EQ(after[1].address, before[0].address);
    EXPECT_EQ(platform::SocketLocalAddress(after[1].socket), before[0].address);
}

// Three links with a camera each, lo down: one send puts six datagrams on
// the wire: the multicast on every socket, then, one pause later, the
// broadcast on every socket. The times are the kernel's receive stamps; a
// loaded machine can only lengthen the pause, so only its least is checked.
TEST(LocalSocketsLab, ThreeSocketsSendSixDatagramsInOrder) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.SetLoopback(false);
    const std::string computer[] = {"192.168.2.100", "192.168.3.100", "192.168.4.100"};
    int cameras[3];
    for (int i = 0; i < 3; ++i) {
        CameraConfig config;
        config.ip = "192.168." + std::to_string(i + 2) + ".10";
        cameras[i] = lab.AddCamera(lab.AddLink(computer[i] + "/24"), config);
    }
    lab.EnterComputer();
    LocalSockets sockets;
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    std::vector<LocalSocket> entries = Snapshot(sockets);
    ASSERT_EQ(entries.size(), 3u);
    protocol::DevicePacket packet = protocol::MakeSearchRequest(std::time(nullptr));
    EXPECT_GT(sockets.SendToAllSockets(sockets.TakeSendTurn(), packet).sent, 0u);

    std::vector<std::tuple<double, std::size_t, std::string>> seen;  // time, entry, kind
    for (std::size_t e = 0; e < entries.size(); ++e) {
        int i = static_cast<int>(entries[e].address >> 8 & 255) - 2;  // 192.168.<i + 2>.100
        ASSERT_TRUE(i >= 0 && i < 3 && entries[e].address == *ParseIPv4(computer[i]));
        std::vector<LoggedDatagram> log = WaitForDatagrams(lab, cameras[i], 2);
        ASSERT_EQ(log.size(), 2u) << computer[i];
        for (const LoggedDatagram& d : log) {
            EXPECT_EQ(d.source, computer[i] + ":" +
                                    std::to_string(*platform::SocketLocalPort(entries[e].socket)));
            EXPECT_TRUE(std::equal(d.bytes.begin(), d.bytes.end(), packet.bytes().begin(),
                                   packet.bytes().end()));
            seen.emplace_back(d.time, e, d.kind);
        }
    }
    std::sort(seen.begin(), seen.end());
    std::set<std::size_t> multicastFrom, broadcastFrom;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const auto& [time, entry, kind] = seen[i];
        EXPECT_EQ(kind, i < 3 ? "multicast" : "broadcast") << "datagram " << i;
        (i < 3 ? multicastFrom : broadcastFrom).insert(entry);
    }
    EXPECT_EQ(multicastFrom.size(), 3u);
    EXPECT_EQ(broadcastFrom.size(), 3u);
    // Every multicast before any broadcast: one pause for all, at least
    // 50 ms (less a margin for the clock) on every link.
    for (std::size_t e = 0; e < 3; ++e) {
        double multicast = 0, broadcast = 0;
        for (const auto& [time, entry, kind] : seen)
            if (entry == e) (kind == "multicast" ? multicast : broadcast) = time;
        EXPECT_GE(broadcast - multicast, 0.040) << "entry " << e;
    }
}

TEST(LocalSocketsLab, NoAddressSendsNothingAndSaysSo) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.SetLoopback(false);
    lab.EnterComputer();
    int pauses = 0;
    LocalSockets sockets(platform::SocketAddresses, [&](std::chrono::milliseconds) { ++pauses; });
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    EXPECT_TRUE(Snapshot(sockets).empty());
    const protocol::SendReport report = sockets.SendToAllSockets(
        sockets.TakeSendTurn(), protocol::MakeSearchRequest(std::time(nullptr)));
    EXPECT_EQ(pauses, 0) << "no socket, no pause between copies";
    EXPECT_EQ(report.sockets, 0u);
    EXPECT_EQ(report.sent, 0u);
}

// A send that goes out nowhere says why; so does the send after a refresh
// that could open no socket for the address it was given.
TEST(LocalSocketsLab, FailedSendsAndFailedOpensTellTheReason) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.SetLoopback(false);
    lab.AddLink("192.168.2.100/24");
    lab.EnterComputer();
    const protocol::DevicePacket packet = protocol::MakeSearchRequest(std::time(nullptr));
    LocalSockets sockets;
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    ASSERT_EQ(Snapshot(sockets).size(), 1u);
    EXPECT_FALSE(sockets.SendToAllSockets(sockets.TakeSendTurn(), packet).error);
    // The socket's address taken away: no route leaves from it.
    lab.RunInComputer({"ip", "addr", "del", "192.168.2.100/24", "dev", "br0"});
    const protocol::SendReport gone = sockets.SendToAllSockets(sockets.TakeSendTurn(), packet);
    EXPECT_EQ(gone.sockets, 1u);
    EXPECT_EQ(gone.sent, 0u);
    EXPECT_EQ(gone.error.code, ENETUNREACH) << gone.error.text;
    EXPECT_FALSE(gone.error.text.empty());

    LocalSockets elsewhere(
        [] {
            return std::vector<platform::LocalAddress>{{*ParseIPv4("10.99.0.1"), 0xFFFFFF00}};
        },
        nullptr);
    elsewhere.RefreshLocalSockets(
        elsewhere.TakeSendTurn());  // not an address of this computer: bind refuses
    const protocol::SendReport none = elsewhere.SendToAllSockets(elsewhere.TakeSendTurn(), packet);
    EXPECT_EQ(none.sockets, 0u);
    EXPECT_EQ(none.error.code, EADDRNOTAVAIL) << none.error.text;
    EXPECT_FALSE(none.error.text.empty());
}

// An address taken off its interface between two sends: the refresh closes
// its socket, so the next send goes out once on that link, from the address
// that is left.
TEST(LocalSocketsLab, SocketOfARemovedAddressIsDropped) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.SetLoopback(false);
    const int camera = lab.AddCamera(lab.AddLink("192.168.2.100/24"), CameraConfig{});
    lab.RunInComputer({"ip", "addr", "add", "192.168.2.101/24", "dev", "br0"});
    lab.EnterComputer();
    LocalSockets sockets;
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    ASSERT_EQ(Snapshot(sockets).size(), 2u);
    const protocol::DevicePacket packet = protocol::MakeSearchRequest(std::time(nullptr));
    const protocol::SendReport both = sockets.SendToAllSockets(sockets.TakeSendTurn(), packet);
    EXPECT_EQ(both.sockets, 2u);
    EXPECT_EQ(both.sent, 4u);
    ASSERT_EQ(WaitForDatagrams(lab, camera, 4).size(), 4u);

    lab.RunInComputer({"ip", "addr", "del", "192.168.2.101/24", "dev", "br0"});
    sockets.RefreshLocalSockets(sockets.TakeSendTurn());
    const std::vector<LocalSocket> left = Snapshot(sockets);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].address, ParseIPv4("192.168.2.100"));
    EXPECT_EQ(sockets.SendToAllSockets(sockets.TakeSendTurn(), packet).sockets, 1u);
    // Twice: a copy from the removed address would come before the last.
    EXPECT_EQ(sockets.SendToAllSockets(sockets.TakeSendTurn(), packet).sockets, 1u);
    const std::vector<LoggedDatagram> log = WaitForDatagrams(lab, camera, 8);
    ASSERT_EQ(log.size(), 8u);
    for (std::size_t i = 4; i < 8; ++i)
        EXPECT_EQ(log[i].source.rfind("192.168.2.100:", 0), 0u) << log[i].source;
}

}  // namespace
}  // namespace vimbrel::lab
