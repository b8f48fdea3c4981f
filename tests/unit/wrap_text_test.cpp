// Where a label's text breaks into lines: at spaces, between Chinese
// characters but not before a closing or after an opening mark, and inside
// a run too wide for any line. Widths here: one unit a character.
#include <gtest/gtest.h>

#include "controls/wrap_text.h"

namespace vimbrel {
namespace {

std::wstring Wrap(const std::wstring& text, int width) {
    return WrapText(text, width,
                    [](const std::wstring& line) { return static_cast<int>(line.size()); });
}

TEST(WrapText, BreaksAtSpacesAndBetweenChineseCharacters) {
    EXPECT_EQ(Wrap(L"ufw allow proto udp", 9), L"ufw allow\nproto udp");
    EXPECT_EQ(Wrap(L"ufw allow", 9), L"ufw allow");  // fits: unchanged
    EXPECT_EQ(Wrap(L"", 9), L"");
    // No space in Chinese: any two characters may part.
    EXPECT_EQ(Wrap(L"摄像机的应答被拦截", 4), L"摄像机的\n应答被拦\n截");
    // Latin next to Chinese parts there too; the space at a break goes.
    EXPECT_EQ(Wrap(L"搜索经 192.168.4.100 发出", 12), L"搜索经\n192.168.4.10\n0 发出");
}

TEST(WrapText, KeepsMarksWithTheirWordsAndCutsARunWiderThanTheLine) {
    // "，" never starts a line, "（" never ends one.
    EXPECT_EQ(Wrap(L"网线未接好，或设备", 5), L"网线未接\n好，或设备");
    EXPECT_EQ(Wrap(L"应答（公用网络）", 3), L"应答\n（公用\n网络）");
    // A command with no break wider than the line: cut where it must.
    EXPECT_EQ(Wrap(L"--add-service=vimbrel", 8), L"--add-se\nrvice=vi\nmbrel");
    // Even a width of nothing moves on, one character a line.
    EXPECT_EQ(Wrap(L"ab", 0), L"a\nb");
}

}  // namespace
}  // namespace vimbrel
