// UTF-8 and wide text, both ways, with the bytes pinned: the same on every
// build, whatever wchar_t's width.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/utf8_text.h"

using namespace vimbrel::platform;

TEST(Utf8TextTest, RoundTripsWithPinnedBytes) {
    EXPECT_EQ(FromUtf8("\xE9\xA9\xAC\xE8\xBE\xBE ok"), L"马达 ok");
    EXPECT_EQ(ToUtf8(L"马达 ok"), "\xE9\xA9\xAC\xE8\xBE\xBE ok");
    const std::wstring text = L"SN-运行\U0001F600";
    EXPECT_EQ(ToUtf8(text), "SN-\xE8\xBF\x90\xE8\xA1\x8C\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(FromUtf8(std::string_view("a\0b", 3)), std::wstring(L"a\0b", 3));
}

// One U+FFFD for each byte that starts no valid sequence, reading on after
// that byte.
TEST(Utf8TextTest, EachByteStartingNoValidSequenceGivesOneReplacement) {
    EXPECT_EQ(FromUtf8("\xFF"
                       "a"),
              L"\uFFFDa");
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b\xE9\xA9"),
              L"a\uFFFDb\uFFFD\uFFFD");  // the last one cut off by the end
    EXPECT_EQ(FromUtf8("\xE9"
                       "ab"),
              L"\uFFFDab");  // a lead byte without its continuation
    EXPECT_EQ(FromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD");  // overlong '/'
    EXPECT_EQ(FromUtf8("\xE0\x80\xAF"), L"\uFFFD\uFFFD\uFFFD");  // overlong '/'
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");  // an encoded surrogate
    EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"),
              L"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
    EXPECT_EQ(FromUtf8("\xF4\x8F\xBF\xBF"), L"\U0010FFFF");
}

TEST(Utf8TextTest, CodeUnitsThatAreNoCharacterGiveReplacement) {
    // A lone half of a surrogate pair, whatever wchar_t's width.
    EXPECT_EQ(ToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"a"),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(ToUtf8(L"a" + std::wstring(1, static_cast<wchar_t>(0xDC00))), "a\xEF\xBF\xBD");
    if constexpr (sizeof(wchar_t) == 4) {
        EXPECT_EQ(ToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
    }
}
