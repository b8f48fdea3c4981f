// Cell texts as 32-byte ANSI buffers at their byte limit, and the match of a
// typed model name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "protocol/cell_text.h"
#include "operations/model_names.h"

namespace vimbrel {
namespace {

std::string Bytes(const protocol::CellBuffer& buffer) {
    return std::string(buffer.begin(), buffer.end());
}

std::string Padded(const std::string& bytes) {
    return bytes + std::string(32 - bytes.size(), '\0');
}

TEST(ToCellBuffer, DoubleByteTextFitsToTheLastByteOrIsLeftOutWhole) {
    // 中 is D6 D0 in GBK.
    std::string fifteen;
    for (int i = 0; i < 15; ++i) fifteen += "\xD6\xD0";
    EXPECT_EQ(Bytes(ToCellBuffer(std::wstring(15, L'中'))), Padded(fifteen));
    EXPECT_EQ(Bytes(ToCellBuffer(std::wstring(29, L'x') + L"中")),
              Padded(std::string(29, 'x') + "\xD6\xD0"));
    // 33 and 32 bytes with the terminator: nothing, never half a text.
    EXPECT_EQ(Bytes(ToCellBuffer(std::wstring(16, L'中'))), Padded(""));
    EXPECT_EQ(Bytes(ToCellBuffer(std::wstring(28, L'x') + L"中中")), Padded(""));
    EXPECT_EQ(Bytes(ToCellBuffer(std::wstring(31, L'A'))), Padded(""));
}

// The seven names a device may be given, written out: a name dropped from,
// misspelt in or added to the program's list fails here.
TEST(MatchModelName, TakesExactlyTheSevenNamesAndNothingElse) {
    for (const char* name :
         {"ZR410", "ZR420", "ZR420-2", "ZR4300-0", "ZR4500-0", "ZR4300-1", "ZR4500-1"}) {
        const char* chosen =
            MatchModelName(ToCellBuffer(std::wstring(name, name + std::strlen(name))));
        ASSERT_NE(chosen, nullptr) << name;
        EXPECT_STREQ(chosen, name);
    }
    EXPECT_EQ(kModelNames.size(), 7u);
    for (const wchar_t* refused :
         {L"ZR420 ", L"ZR4300", L"ZR4500-10", L"zr420", L"ZR420-3", L"ZR4300-2", L"", L"ZR41"})
        EXPECT_EQ(MatchModelName(ToCellBuffer(refused)), nullptr) << std::wstring(refused).size();
}

}  // namespace
}  // namespace vimbrel
