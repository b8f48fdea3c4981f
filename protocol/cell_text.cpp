#include "protocol/cell_text.h"

#include <algorithm>

#include "platform/code_page.h"

namespace vimbrel {

namespace {
constexpr std::size_t MAX_CELL_CHARACTERS = 30;
}

protocol::CellBuffer ToCellBuffer(const std::wstring& text) {
    return CellBufferIfFits(text).value_or(protocol::CellBuffer{});
}

std::optional<protocol::CellBuffer> CellBufferIfFits(const std::wstring& text) {
    protocol::CellBuffer buffer{};
    if (text.size() > MAX_CELL_CHARACTERS) return std::nullopt;
    const std::string ansi = platform::WideToAnsi(text);
    // The terminator needs a byte too; a double-byte text of 16 characters
    // or more does not fit and is left out whole.
    if (ansi.size() + 1 > buffer.size()) return std::nullopt;
    std::copy(ansi.begin(), ansi.end(), buffer.begin());
    return buffer;
}

}  // namespace vimbrel
