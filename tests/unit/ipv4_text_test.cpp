// IPv4 addresses as text, and subnet masks.
#include <gtest/gtest.h>

#include "platform/ipv4_text.h"

using namespace vimbrel::platform;

TEST(IPv4TextTest, ParsesOnlyPlainDottedQuads) {
    EXPECT_EQ(ParseIPv4("192.168.2.10"), 0xC0A8020Au);
    EXPECT_EQ(ParseIPv4("0.0.0.0"), 0u);
    EXPECT_EQ(ParseIPv4("255.255.255.255"), 0xFFFFFFFFu);
    for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.4.5", "256.1.1.1", "01.2.3.4",
                            "1.2.3.0004", " 1.2.3.4", "1.2.3.4 ", "1..3.4", "+1.2.3.4", "1.2.3.-4"})
        EXPECT_FALSE(ParseIPv4(bad).has_value()) << bad;
    EXPECT_FALSE(IsDottedQuad(std::string_view("1.2.3.4x", 8)));
    EXPECT_TRUE(IsDottedQuad(std::string_view("1.2.3.4x", 7)));
}

TEST(IPv4TextTest, FormatsHighestOctetFirst) {
    EXPECT_EQ(FormatIPv4(0xC0A8020Au), "192.168.2.10");
    EXPECT_EQ(FormatIPv4(0), "0.0.0.0");
    EXPECT_EQ(FormatIPv4(0xFFFFFFFFu), "255.255.255.255");
}

TEST(IPv4TextTest, PrefixLengthOfAMask) {
    EXPECT_EQ(MaskPrefixLength(0xFFFFFF80u), 25);
    EXPECT_EQ(MaskPrefixLength(0), 0);
    EXPECT_EQ(MaskPrefixLength(0xFFFFFFFFu), 32);
}
