// Conversion between wide text and GBK.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

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
    EXPECT_EQ(AnsiToWide("a\xFF"
                         "b",
                         3),
              L"a\uFFFDb");
    EXPECT_EQ(AnsiToWide("\x81\x20x", 3), L"\uFFFD x");
    // A lead byte cut off by the end of the text or by its zero byte.
    EXPECT_EQ(AnsiToWide("ok\xD5", 3), L"ok\uFFFD");
    EXPECT_EQ(AnsiToWide("ok\xD5\0\xFD", 5), L"ok\uFFFD");
}

// The same bytes give the same text on every build: the iconv one and the
// one on Windows' code page 936, which maps GBK's user-defined areas to
// private-use characters and a bare 0xFF to U+F8F5 where GBK has nothing.
TEST(CodePageTest, EdgeBytesGiveTheSameTextOnEveryBuild) {
    struct Case {
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"a\xD5", L"a\uFFFD"},  // lone lead byte at the end
        {"\x80", L"\u20AC"},  // the one single-byte extension
        {"\xFF", L"\uFFFD"},
        {"\x81\x30\x81\x30",
         L"\uFFFD"
         L"0\uFFFD"
         L"0"},  // a four-byte GB18030 sequence
        {"\xA1\x40x", L"\uFFFD@x"},  // user-defined area
        {"\xAA\xA1", L"\uFFFD\uFFFD"},  // user-defined area
        {"\xA1\xA4\xA1\xAA", L"\u00B7\u2014"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnsiToWide(c.bytes.data(), c.bytes.size()), c.text) << c.bytes;

    EXPECT_EQ(WideToAnsi(L"\u20AC"), "\x80");
    EXPECT_EQ(WideToAnsi(L"\u00B7\u2014"), "\xA1\xA4\xA1\xAA");
    // Outside the 16-bit range (a surrogate pair where wchar_t has 16 bits):
    // one question mark. A private-use character has no GBK bytes either.
    EXPECT_EQ(WideToAnsi(std::wstring(L"a") + L"\U00020000" + L"b"), "a?b");
    EXPECT_EQ(WideToAnsi(L"\uE000"), "?");
}

namespace {

// FNV-1a over 32-bit units, so that both widths of wchar_t give one value.
std::uint64_t Digest(std::uint64_t hash, std::uint32_t unit) {
    for (int i = 0; i < 4; ++i) {
        hash ^= (unit >> (8 * i)) & 0xFF;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

}  // namespace

// Every single byte and byte pair from 0x80 up, both ways: the digests were
// taken from the iconv build and hold for the Windows one too.
TEST(CodePageTest, WholeTableMatchesTheIconvBuild) {
    std::uint64_t toWide = 0xCBF29CE484222325ull;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = -1; trail <= 0xFF; ++trail) {
            if (trail == 0) continue;
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            for (wchar_t c : AnsiToWide(bytes, trail < 0 ? 1 : 2))
                toWide = Digest(toWide, static_cast<std::uint32_t>(c));
            toWide = Digest(toWide, 0xFFFFFFFFu);
        }
    }
    std::uint64_t toAnsi = 0xCBF29CE484222325ull;
    for (std::uint32_t c = 1; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        for (char b : WideToAnsi(std::wstring(1, static_cast<wchar_t>(c))))
            toAnsi = Digest(toAnsi, static_cast<unsigned char>(b));
        toAnsi = Digest(toAnsi, 0xFFFFFFFFu);
    }
    EXPECT_EQ(toWide, 6533984688147346398ull);
    EXPECT_EQ(toAnsi, 7205046478185410511ull);
}
