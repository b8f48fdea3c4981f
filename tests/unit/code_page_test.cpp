// Conversion between wide text and GBK.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/code_page.h"

using namespace vimbrel::platform;

TEST(CodePageTest, ChineseRoundTripsWithPinnedBytes) {
    EXPECT_EQ(WideToAnsi(L"ZR420 运行正常"), "ZR420 \xD4\xCB\xD0\xD0\xD5\xFD\xB3\xA3");
    EXPECT_EQ(AnsiToWide("\xD4\xCB\xD0\xD0\xD5\xFD\xB3\xA3", 8), L"运行正常");
    // Characters GBK lacks become question marks.
    EXPECT_EQ(WideToAnsi(L"a\U0001F600b\u0E01"), "a?b?");
}

TEST(CodePageTest, ReadsAtMostSizeBytesAndStopsAtZero) {
    EXPECT_EQ(AnsiToWide("ab\0cd", 5), L"ab");
    EXPECT_EQ(AnsiToWide("abcdef", 3), L"abc");
    EXPECT_EQ(AnsiToWide(nullptr, 4), L"");
    // Exactly `size` bytes on the heap, no terminator: nothing beyond is read.
    auto heap = std::make_unique<char[]>(4);
    std::memcpy(heap.get(), "\xD5\xFD\xB3\xA3", 4);
    EXPECT_EQ(AnsiToWide(heap.get(), 4), L"正常");
}

TEST(CodePageTest, InvalidBytesGiveReplacementCharacter) {
    EXPECT_EQ(AnsiToWide("a\xFF" "b", 3), L"a\uFFFDb");
    EXPECT_EQ(AnsiToWide("\x81\x20x", 3), L"\uFFFD x");
    // A lead byte cut off by the end of the text or by its zero byte.
    EXPECT_EQ(AnsiToWide("ok\xD5", 3), L"ok\uFFFD");
    EXPECT_EQ(AnsiToWide("ok\xD5\0\xFD", 5), L"ok\uFFFD");
}

TEST(CodePageTest, Utf8RoundTripsAndInvalidBytesGiveReplacement) {
    EXPECT_EQ(Utf8ToWide("\xE9\xA9\xAC\xE8\xBE\xBE ok"), L"马达 ok");
    EXPECT_EQ(WideToUtf8(L"马达 ok"), "\xE9\xA9\xAC\xE8\xBE\xBE ok");
    EXPECT_EQ(Utf8ToWide("a\xFF" "b\xE9\xA9"), L"a\uFFFDb\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToWide(std::string_view("a\0b", 3)), std::wstring(L"a\0b", 3));
}
