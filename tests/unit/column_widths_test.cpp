// Stored column widths at their edges; the usual values are read through
// the list itself in the GUI tests.
#include "controls/column_widths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<int> Parse(const std::vector<std::uint8_t>& bytes, int columnCount) {
    return ParseColumnWidths(bytes.data(), bytes.size(), columnCount);
}

}  // namespace

TEST(ColumnWidths, OddCountsAndShortValuesGiveNothing) {
    EXPECT_TRUE(Parse({0x08, 0x00, 0x00}, 8).empty());  // too short for a count
    EXPECT_TRUE(ParseColumnWidths(nullptr, 0, 8).empty());
    EXPECT_TRUE(Parse({0x08, 0x00, 0x00, 0x00}, 8).empty());  // count only
    // Count 8 highest byte first is 0x08000000, not 8.
    EXPECT_TRUE(Parse({0x00, 0x00, 0x00, 0x08, 0x3C, 0x00, 0x00, 0x00}, 8).empty());
    EXPECT_TRUE(Parse({0xFF, 0xFF, 0xFF, 0xFF, 0x3C, 0x00, 0x00, 0x00}, -1).empty());
}

TEST(ColumnWidths, NegativeWidthReadsAsZeroAndExtraBytesAreIgnored) {
    const std::vector<std::uint8_t> stored = {
        0x02, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,  // -1
        0x78, 0x56, 0x34, 0x12,  // 0x12345678
        0x99, 0x99, 0x99, 0x99,  // past the announced count
    };
    EXPECT_EQ(Parse(stored, 2), (std::vector<int>{0, 0x12345678}));
}
