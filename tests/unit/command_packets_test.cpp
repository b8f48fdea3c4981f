// The net_config block of a set-network command, and the command senders
// on a computer without addresses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "protocol/command_sender.h"

using namespace vimbrel::protocol;

namespace {

std::string FieldText(const NetConfig& block, std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(&block[offset]),
                       strnlen(reinterpret_cast<const char*>(&block[offset]), 32));
}

bool ZeroFrom(const NetConfig& block, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
        if (block[i] != 0) return false;
    return true;
}

}  // namespace

TEST(NetConfigTest, MaskGatewayTwiceAndZeros) {
    NetConfig block = MakeNetConfig(0xFFFFFF00, 0xC0A80201);
    EXPECT_TRUE(ZeroFrom(block, 0, 60));
    EXPECT_EQ(FieldText(block, 60), "255.255.255.0");
    EXPECT_EQ(FieldText(block, 92), "192.168.2.1");
    EXPECT_EQ(FieldText(block, 124), "192.168.2.1");
    EXPECT_EQ(FieldText(block, 156), "0.0.0.0");
    EXPECT_TRUE(ZeroFrom(block, 60 + 13, 92));
    EXPECT_TRUE(ZeroFrom(block, 156 + 7, 188));

    SetNetConfigAddress(block, "192.168.2.10");
    EXPECT_EQ(FieldText(block, 28), "192.168.2.10");
    EXPECT_TRUE(ZeroFrom(block, 0, 28));

    // A shorter address replaces a longer one completely.
    SetNetConfigAddress(block, "10.0.0.9");
    EXPECT_EQ(FieldText(block, 28), "10.0.0.9");
    EXPECT_TRUE(ZeroFrom(block, 28 + 8, 60));
}

TEST(NetConfigTest, AddressTooLongForFieldIsLeftOut) {
    NetConfig block = MakeNetConfig(0xFFFF0000, 0x0A000001);
    const std::string longest(31, '1');
    SetNetConfigAddress(block, longest.c_str());
    EXPECT_EQ(FieldText(block, 28), longest);
    EXPECT_EQ(block[59], 0);

    SetNetConfigAddress(block, std::string(32, '2').c_str());
    EXPECT_TRUE(ZeroFrom(block, 28, 60));
    EXPECT_EQ(FieldText(block, 60), "255.255.0.0");  // the mask is untouched
}

TEST(CommandSenderTest, NoLocalAddressSendsNothing) {
    int addressLookups = 0;
    int pauses = 0;
    LocalSockets sockets([&] { ++addressLookups; return std::vector<vimbrel::platform::LocalAddress>{}; },
                         [&](std::chrono::milliseconds) { ++pauses; });

    SendCommand(sockets, CMD_REBOOT, CellBuffer{});
    SendSetModel(sockets, "00:11:22:33:44:55", "ZR420");
    SendSetNetwork(sockets, MakeNetConfig(0xFFFFFF00, 0xC0A80201), "");
    sockets.RefreshLocalSockets();
    sockets.SendToAllSockets(MakeSearchRequest(0));

    EXPECT_EQ(addressLookups, 4);  // every send refreshes first
    EXPECT_EQ(pauses, 0);          // no socket, so no multicast/broadcast pair
    const std::lock_guard lock(sockets.Lock());
    EXPECT_TRUE(sockets.Entries().empty());
}
