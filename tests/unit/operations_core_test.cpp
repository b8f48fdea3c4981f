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

TEST(MatchModelName, EveryItemMatchesItselfAndNothingElseMatches) {
    for (const char* item : kModelNames) {
        const char* chosen =
            MatchModelName(ToCellBuffer(std::wstring(item, item + std::strlen(item))));
        EXPECT_STREQ(chosen, item);
    }
    for (const wchar_t* refused : {L"ZR420 ", L"ZR4300", L"ZR4500-10"})
        EXPECT_EQ(MatchModelName(ToCellBuffer(refused)), nullptr) << std::wstring(refused).size();
}

}  // namespace
}  // namespace vimbrel
