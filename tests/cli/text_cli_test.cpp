// The terminal text helpers of the command line: display width of Chinese
// text, and control characters from the network.
#include <gtest/gtest.h>

#include "cli/utf8_text.h"

namespace vimbrel::cli {
namespace {

TEST(Utf8Text, WidthCountsWideCharactersTwiceAndCombiningMarksNot) {
    EXPECT_EQ(DisplayWidth("running"), 7u);
    EXPECT_EQ(DisplayWidth("运行中"), 6u);
    EXPECT_EQ(DisplayWidth("IP地址"), 6u);
    EXPECT_EQ(DisplayWidth("ＡＢ"), 4u);  // full-width letters
    EXPECT_EQ(DisplayWidth("e\xCC\x81"), 1u);  // e and a combining acute accent
    EXPECT_EQ(DisplayWidth("\xFF\xFE"), 2u);  // not UTF-8: one cell a byte
}

TEST(Utf8Text, ControlCharactersAndBrokenBytesBecomeReplacementCharacters) {
    EXPECT_EQ(WithoutControls("a\x1B[31mb\n\x7F"), "a\uFFFD[31mb\uFFFD\uFFFD");
    EXPECT_EQ(WithoutControls("\xC2\x9B"
                              "2J"),
              "\uFFFD2J");  // C1 CSI
    EXPECT_EQ(WithoutControls("\xE8\xBF"), "\uFFFD\uFFFD");  // cut-off sequence
    EXPECT_EQ(WithoutControls("运行中"), "运行中");
}

}  // namespace
}  // namespace vimbrel::cli
