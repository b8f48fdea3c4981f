// The address field of a set-network block at its limits, and the command
// senders on a computer without addresses.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "protocol/command_sender.h"

using namespace vimbrel::protocol;

namespace {

// Where the texts lie in the block, 32 bytes each.
constexpr std::size_t kAddressOffset = 28, kMaskOffset = 60;

std::vector<std::uint8_t> Field(const NetConfig& block, std::size_t offset) {
    return {block.begin() + offset, block.begin() + offset + 32};
}

std::vector<std::uint8_t> Padded(const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.resize(32, 0);
    return bytes;
}

}  // namespace

TEST(NetConfigTest, AddressIsReplacedWholeAndLeftOutWhenTooLong) {
    NetConfig block = MakeNetConfig(0xFFFF0000, 0x0A000001);
    SetNetConfigAddress(block, "192.168.200.100");
    SetNetConfigAddress(block, "10.0.0.9");  // no tail of the longer one stays
    EXPECT_EQ(Field(block, kAddressOffset), Padded("10.0.0.9"));

    SetNetConfigAddress(block, std::string(31, '1').c_str());
    EXPECT_EQ(Field(block, kAddressOffset), Padded(std::string(31, '1')));

    SetNetConfigAddress(block, std::string(32, '2').c_str());
    EXPECT_EQ(Field(block, kAddressOffset), Padded(""));
    EXPECT_EQ(Field(block, kMaskOffset), Padded("255.255.0.0"));  // the mask is untouched
}

TEST(CommandSenderTest, NoLocalAddressSendsNothing) {
    int addressLookups = 0;
    int pauses = 0;
    LocalSockets sockets(
        [&] {
            ++addressLookups;
            return std::vector<vimbrel::platform::LocalAddress>{};
        },
        [&](std::chrono::milliseconds) { ++pauses; });

    const auto mac = CheckMacIdentity(std::string_view("00:11:22:33:44:55"));
    ASSERT_TRUE(mac);
    EXPECT_EQ(
        SendCommand(sockets, sockets.TakeSendTurn(), CMD_REBOOT, *CheckSerialIdentity(L"")).sent,
        0u);
    EXPECT_EQ(SendSetModel(sockets, sockets.TakeSendTurn(), *mac, "ZR420").sockets, 0u);
    EXPECT_EQ(
        SendSetNetwork(sockets, sockets.TakeSendTurn(), MakeNetConfig(0xFFFFFF00, 0xC0A80201), *mac)
            .sockets,
        0u);

    EXPECT_EQ(addressLookups, 3);  // every command refreshes the list first
    EXPECT_EQ(pauses, 0);  // no socket, so no multicast/broadcast pair
    EXPECT_TRUE(sockets.Lock().Entries().empty());
}

// The send turn is made only by its list: not from outside, not copied,
// not moved to another holder; the senders cannot be called without one.
static_assert(!std::is_constructible_v<LocalSockets::SendTurn, LocalSockets&>);
static_assert(!std::is_copy_constructible_v<LocalSockets::SendTurn>);
static_assert(!std::is_move_constructible_v<LocalSockets::SendTurn>);
static_assert(!std::is_invocable_v<decltype(&LocalSockets::RefreshLocalSockets), LocalSockets&>);
static_assert(!std::is_invocable_v<decltype(&SendCommand), LocalSockets&, std::int32_t,
                                   const SerialIdentity&>);

// A turn of another list does not let a thread send on this one.
TEST(CommandSenderDeathTest, AnotherListsTurnAborts) {
    const auto none = [] { return std::vector<vimbrel::platform::LocalAddress>{}; };
    LocalSockets first(none, nullptr);
    LocalSockets second(none, nullptr);
    EXPECT_DEATH(first.RefreshLocalSockets(second.TakeSendTurn()), "another socket list");
}
