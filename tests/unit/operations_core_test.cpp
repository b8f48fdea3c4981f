// Cell texts as 32-byte ANSI buffers, and the match of a typed model name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "operations/cell_text.h"
#include "operations/model_names.h"

namespace vimbrel {
namespace {

bool AllZero(const protocol::CellBuffer& buffer) {
    for (char byte : buffer)
        if (byte != 0)
            return false;
    return true;
}

TEST(ToCellBuffer, ThirtyCharactersFitAndThirtyOneAreLeftOut) {
    const std::wstring thirty(30, L'A');
    const protocol::CellBuffer fits = ToCellBuffer(thirty);
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(fits[i], 'A') << i;
    EXPECT_EQ(fits[30], 0);
    EXPECT_EQ(fits[31], 0);

    EXPECT_TRUE(AllZero(ToCellBuffer(std::wstring(31, L'A'))));
    EXPECT_TRUE(AllZero(ToCellBuffer(L"")));
}

TEST(ToCellBuffer, DoubleByteTextIsLeftOutWholeWhenItWouldOverflow) {
    // 中 is D6 D0 in GBK. Fifteen of them: 30 bytes and the terminator.
    const protocol::CellBuffer fifteen = ToCellBuffer(std::wstring(15, L'中'));
    for (int i = 0; i < 30; i += 2) {
        EXPECT_EQ(static_cast<unsigned char>(fifteen[i]), 0xD6) << i;
        EXPECT_EQ(static_cast<unsigned char>(fifteen[i + 1]), 0xD0) << i;
    }
    EXPECT_EQ(fifteen[30], 0);
    EXPECT_EQ(fifteen[31], 0);

    // Sixteen need 33 bytes with the terminator: nothing, never half a text.
    EXPECT_TRUE(AllZero(ToCellBuffer(std::wstring(16, L'中'))));
}

TEST(ToCellBuffer, MixedTextUpToTheLastByte) {
    // 29 + 2 bytes and the terminator: exactly 32.
    const protocol::CellBuffer full = ToCellBuffer(std::wstring(29, L'x') + L"中");
    EXPECT_EQ(full[28], 'x');
    EXPECT_EQ(static_cast<unsigned char>(full[29]), 0xD6);
    EXPECT_EQ(static_cast<unsigned char>(full[30]), 0xD0);
    EXPECT_EQ(full[31], 0);

    // 28 + 4 bytes: no room for the terminator.
    EXPECT_TRUE(AllZero(ToCellBuffer(std::wstring(28, L'x') + L"中中")));
}

TEST(MatchModelName, OnlyAnExactNameMatches) {
    const char* chosen = MatchModelName(ToCellBuffer(L"ZR420-2"));
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen, "ZR420-2");

    EXPECT_EQ(MatchModelName(ToCellBuffer(L"zr420-2")), nullptr);
    EXPECT_EQ(MatchModelName(ToCellBuffer(L"ZR420-3")), nullptr);
    EXPECT_EQ(MatchModelName(ToCellBuffer(L"")), nullptr);
    EXPECT_EQ(MatchModelName(ToCellBuffer(L" ZR420")), nullptr);
    EXPECT_EQ(MatchModelName(ToCellBuffer(L"ZR420 ")), nullptr);
    EXPECT_EQ(MatchModelName(ToCellBuffer(L"ZR4300")), nullptr);
}

TEST(MatchModelName, AShorterNameIsNotTakenForALongerOne) {
    const char* chosen = MatchModelName(ToCellBuffer(L"ZR420"));
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen, "ZR420");
}

TEST(MatchModelName, EveryComboBoxItemIsAccepted) {
    for (const wchar_t* item :
         {L"ZR410", L"ZR420", L"ZR420-2", L"ZR4300-0", L"ZR4500-0", L"ZR4300-1", L"ZR4500-1"}) {
        const char* chosen = MatchModelName(ToCellBuffer(item));
        ASSERT_NE(chosen, nullptr) << std::wstring(item).size();
        EXPECT_EQ(std::strlen(chosen), std::wstring(item).size());
    }
}

}  // namespace
}  // namespace vimbrel
