#pragma once
// A command's two copies as a camera received them, checked byte by byte at
// literal offsets: the same bytes, multicast first; the code as four bytes
// at 0, "IpCamera" at 8, and the camera it names: the MAC at 20 for
// set-network (102) and set-model (105), else the serial number at 248,
// zero-filled to 280. Set-model's model at 216, set-network's address at 56.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/camera_log.h"

namespace vimbrel::test {

struct ExpectedCommand {
    std::uint8_t code;
    std::uint8_t mac[6];
    std::string serial;
    std::string model;  // set-model's
    std::string address;  // set-network's
};

inline void ExpectCommandCopies(const lab::LoggedDatagram& multicast,
                                const lab::LoggedDatagram& broadcast, const ExpectedCommand& c) {
    EXPECT_EQ(multicast.kind, "multicast");
    EXPECT_EQ(broadcast.kind, "broadcast");
    EXPECT_EQ(multicast.bytes, broadcast.bytes);
    const auto& b = multicast.bytes;
    ASSERT_EQ(b.size(), 344u);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 4),
              (std::vector<std::uint8_t>{c.code, 0x00, 0x00, 0x00}));
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "IpCamera");
    const bool byMac = c.code == 102 || c.code == 105;
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(b[20 + i], byMac ? c.mac[i] : 0) << i;
    EXPECT_EQ(TextAt(b, 248), byMac ? "" : c.serial);
    for (std::size_t i = 252; i < 280; ++i) EXPECT_EQ(b[i], 0) << i;
    if (c.code == 105) EXPECT_EQ(TextAt(b, 216), c.model);
    if (c.code == 102) EXPECT_EQ(TextAt(b, 56), c.address);
}

}  // namespace vimbrel::test
