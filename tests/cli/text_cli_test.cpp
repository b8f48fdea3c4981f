// The UTF-8 helpers of the command line: display width of Chinese text,
// control characters from the network, and the conversions both ways.
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

TEST(Utf8Text, WideTextRoundTripsThroughUtf8) {
    const std::wstring text = L"SN-运行\U0001F600";
    EXPECT_EQ(ToUtf8(text), "SN-\xE8\xBF\x90\xE8\xA1\x8C\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(FromUtf8("\xFF"
                       "a"),
              L"\uFFFDa");
}

}  // namespace
}  // namespace vimbrel::cli
