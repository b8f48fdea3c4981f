#include "controls/column_widths.h"

#include <algorithm>

namespace {

constexpr std::size_t kIntSize = 4;

std::int32_t ReadInt32LE(const std::uint8_t* p) {
    const std::uint32_t value =
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::vector<int> ParseColumnWidths(const std::uint8_t* bytes, std::size_t size, int columnCount) {
    std::vector<int> widths;
    if (bytes == nullptr || size < kIntSize || columnCount <= 0) return widths;

    const std::int32_t count = ReadInt32LE(bytes);
    if (count != columnCount) return widths;

    const std::size_t available = (size - kIntSize) / kIntSize;
    const std::size_t toRead = std::min<std::size_t>(static_cast<std::size_t>(count), available);
    widths.reserve(toRead);
    for (std::size_t i = 0; i < toRead; ++i) {
        const std::int32_t width = ReadInt32LE(bytes + kIntSize * (i + 1));
        widths.push_back(width < 0 ? 0 : width);
    }
    return widths;
}
