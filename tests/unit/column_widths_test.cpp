#include "controls/column_widths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<int> Parse(const std::vector<std::uint8_t>& bytes, int columnCount)
{
    return ParseColumnWidths(bytes.data(), bytes.size(), columnCount);
}

} // namespace

TEST(ColumnWidths, FullValueGivesEveryWidthInColumnOrder)
{
    // 36 bytes: count 8, then 60, 180, 100, 170, 190, 60, 130, 300 (0x012C).
    const std::vector<std::uint8_t> stored = {
        0x08, 0x00, 0x00, 0x00,
        0x3C, 0x00, 0x00, 0x00,
        0xB4, 0x00, 0x00, 0x00,
        0x64, 0x00, 0x00, 0x00,
        0xAA, 0x00, 0x00, 0x00,
        0xBE, 0x00, 0x00, 0x00,
        0x3C, 0x00, 0x00, 0x00,
        0x82, 0x00, 0x00, 0x00,
        0x2C, 0x01, 0x00, 0x00,
    };
    EXPECT_EQ(Parse(stored, 8), (std::vector<int>{60, 180, 100, 170, 190, 60, 130, 300}));
}

TEST(ColumnWidths, CountOtherThanColumnsGivesNothing)
{
    const std::vector<std::uint8_t> sevenColumns = {
        0x07, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00,
        0x10, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00,
        0x10, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00,
    };
    EXPECT_TRUE(Parse(sevenColumns, 8).empty());

    // Count 8 in the wrong byte order (big-endian) is 0x08000000, not 8.
    const std::vector<std::uint8_t> bigEndianCount = {0x00, 0x00, 0x00, 0x08, 0x3C, 0x00, 0x00, 0x00};
    EXPECT_TRUE(Parse(bigEndianCount, 8).empty());

    const std::vector<std::uint8_t> negativeCount = {0xFF, 0xFF, 0xFF, 0xFF, 0x3C, 0x00, 0x00, 0x00};
    EXPECT_TRUE(Parse(negativeCount, -1).empty());
}

TEST(ColumnWidths, ShortValueGivesTheWidthsItHolds)
{
    // Announces 8, holds 3 widths and 2 bytes of a fourth.
    const std::vector<std::uint8_t> stored = {
        0x08, 0x00, 0x00, 0x00,
        0x3C, 0x00, 0x00, 0x00,
        0xB4, 0x00, 0x00, 0x00,
        0x00, 0x01, 0x00, 0x00,
        0x77, 0x00,
    };
    EXPECT_EQ(Parse(stored, 8), (std::vector<int>{60, 180, 256}));

    const std::vector<std::uint8_t> countOnly = {0x08, 0x00, 0x00, 0x00};
    EXPECT_TRUE(Parse(countOnly, 8).empty());
}

TEST(ColumnWidths, TooShortForACountOrEmptyGivesNothing)
{
    const std::vector<std::uint8_t> threeBytes = {0x08, 0x00, 0x00};
    EXPECT_TRUE(Parse(threeBytes, 8).empty());
    EXPECT_TRUE(ParseColumnWidths(nullptr, 0, 8).empty());
}

TEST(ColumnWidths, NegativeWidthReadsAsZeroAndExtraBytesAreIgnored)
{
    const std::vector<std::uint8_t> stored = {
        0x02, 0x00, 0x00, 0x00,
        0xFF, 0xFF, 0xFF, 0xFF, // -1
        0x78, 0x56, 0x34, 0x12, // 0x12345678
        0x99, 0x99, 0x99, 0x99, // past the announced count
    };
    EXPECT_EQ(Parse(stored, 2), (std::vector<int>{0, 0x12345678}));
}
