// The identities a command names its device by: a serial number that fits
// its field whole, a MAC text that reads as six octets.
#include <gtest/gtest.h>

#include <string>

#include "protocol/device_identity.h"

namespace vimbrel {
namespace {

using protocol::CheckMacIdentity;
using protocol::CheckSerialIdentity;

TEST(SerialIdentity, WholeTextOrNothing) {
    const auto thirty = CheckSerialIdentity(std::wstring(30, L'S'));
    ASSERT_TRUE(thirty);
    EXPECT_EQ(std::string(thirty->Field().begin(), thirty->Field().end()),
              std::string(30, 'S') + std::string(2, '\0'));
    EXPECT_FALSE(CheckSerialIdentity(std::wstring(31, L'S')));
    // 中 is two bytes in GBK: 15 fit with the terminator, 16 don't.
    EXPECT_TRUE(CheckSerialIdentity(std::wstring(15, L'中')));
    EXPECT_FALSE(CheckSerialIdentity(std::wstring(16, L'中')));
    // An empty serial number is a device's own (empty) serial number.
    const auto empty = CheckSerialIdentity(L"");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Field(), protocol::CellBuffer{});
}

TEST(MacIdentity, SixOctetsInTheListsFormOnly) {
    const auto mac = CheckMacIdentity(std::string_view("00:1A:2b:3C:4D:ff"));
    ASSERT_TRUE(mac);
    EXPECT_EQ(mac->Bytes(), (protocol::MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xFF}));
    EXPECT_TRUE(CheckMacIdentity(std::string_view("00:00:00:00:00:00")));
    // The list's wide text reads the same; a non-ASCII character names none.
    EXPECT_EQ(CheckMacIdentity(std::wstring(L"00:1a:2B:3c:4d:FF")), mac);
    EXPECT_FALSE(CheckMacIdentity(std::wstring(L"00:1A:2B:3C:4D:Ｆ0")));
    for (const char* refused : {"", "00:11:22:33:44", "00:11:22:33:44:55:66", "00:11:22:33:44:5G",
                                "0:1:2:3:4:5", " 00:11:22:33:44:55", "00:11:22:33:44:55 ",
                                "00-11-22-33-44-55", "001122334455", "00:11:22:33:44:555"})
        EXPECT_FALSE(CheckMacIdentity(std::string_view(refused))) << '"' << refused << '"';
}

}  // namespace
}  // namespace vimbrel
