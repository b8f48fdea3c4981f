// The socket list's refresh on loopback addresses. Sockets are opened and
// bound here but nothing is ever sent.
#include <gtest/gtest.h>

#include <dirent.h>
#include <vector>

#include "protocol/local_sockets.h"

using namespace vimbrel::protocol;
using vimbrel::platform::LocalAddress;

namespace {

int OpenDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

std::vector<LocalSocket> Snapshot(LocalSockets& sockets) {
    const std::lock_guard lock(sockets.Lock());
    return {sockets.Entries().begin(), sockets.Entries().end()};
}

constexpr std::uint32_t kLoopback1 = 0x7F000001;  // 127.0.0.1
constexpr std::uint32_t kLoopback2 = 0x7F000002;  // 127.0.0.2

}  // namespace

TEST(LocalSocketsTest, OneEntryPerAddressAndNoneTwice) {
    std::vector<LocalAddress> addresses = {{kLoopback1, 0xFF000000}, {kLoopback2, 0xFF000000}};
    LocalSockets sockets([&] { return addresses; }, [](std::chrono::milliseconds) {});
    sockets.RefreshLocalSockets();
    sockets.RefreshLocalSockets();
    const auto entries = Snapshot(sockets);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].address, kLoopback1);
    EXPECT_EQ(entries[1].address, kLoopback2);
    for (const LocalSocket& e : entries) {
        EXPECT_NE(e.socket, vimbrel::platform::kInvalidSocket);
        EXPECT_EQ(vimbrel::platform::SocketLocalAddress(e.socket), e.address);
        EXPECT_NE(vimbrel::platform::SocketLocalPort(e.socket), std::uint16_t{0});
    }
}

TEST(LocalSocketsTest, DeadEntryIsReplacedAtTheEnd) {
    std::vector<LocalAddress> addresses = {{kLoopback1, 0}, {kLoopback2, 0}};
    LocalSockets sockets([&] { return addresses; }, [](std::chrono::milliseconds) {});
    sockets.RefreshLocalSockets();
    const int before = OpenDescriptors();
    {
        const std::lock_guard lock(sockets.Lock());
        sockets.MarkDead(sockets.Entries().front().socket);
        EXPECT_EQ(sockets.Entries().front().socket, vimbrel::platform::kInvalidSocket);
    }
    EXPECT_EQ(OpenDescriptors(), before - 1);  // MarkDead closed the handle

    sockets.RefreshLocalSockets();
    const auto entries = Snapshot(sockets);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].address, kLoopback2);
    EXPECT_EQ(entries[1].address, kLoopback1);
    EXPECT_NE(entries[1].socket, vimbrel::platform::kInvalidSocket);
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(LocalSocketsTest, FailedBindLeavesNoEntryAndNoOpenHandle) {
    // 192.0.2.1 (documentation range) is no address of this computer.
    std::vector<LocalAddress> addresses = {{0xC0000201, 0xFFFFFF00}};
    LocalSockets sockets([&] { return addresses; }, [](std::chrono::milliseconds) {});
    const int before = OpenDescriptors();
    sockets.RefreshLocalSockets();
    EXPECT_TRUE(Snapshot(sockets).empty());
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(LocalSocketsTest, CloseLeavesDeadEntriesThatTheNextRefreshRenews) {
    std::vector<LocalAddress> addresses = {{kLoopback1, 0}};
    LocalSockets sockets([&] { return addresses; }, [](std::chrono::milliseconds) {});
    const int before = OpenDescriptors();
    sockets.RefreshLocalSockets();
    sockets.CloseLocalSockets();
    auto entries = Snapshot(sockets);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].socket, vimbrel::platform::kInvalidSocket);
    EXPECT_EQ(OpenDescriptors(), before);

    sockets.RefreshLocalSockets();
    entries = Snapshot(sockets);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_NE(entries[0].socket, vimbrel::platform::kInvalidSocket);
}
