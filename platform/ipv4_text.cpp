#include "platform/ipv4_text.h"

namespace vimbrel::platform {

std::optional<std::uint32_t> ParseIPv4(std::string_view text) {
    std::uint32_t address = 0;
    std::size_t p = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (p >= text.size() || text[p] != '.') return std::nullopt;
            ++p;
        }
        const std::size_t first = p;
        unsigned value = 0;
        while (p < text.size() && p - first < 3 && text[p] >= '0' && text[p] <= '9') {
            value = value * 10 + static_cast<unsigned>(text[p] - '0');
            ++p;
        }
        const std::size_t digits = p - first;
        if (digits == 0 || value > 255) return std::nullopt;
        if (digits > 1 && text[first] == '0') return std::nullopt;
        address = (address << 8) | value;
    }
    if (p != text.size()) return std::nullopt;
    return address;
}

bool IsDottedQuad(std::string_view text) { return ParseIPv4(text).has_value(); }

std::string FormatIPv4(std::uint32_t address) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24) text.push_back('.');
        text += std::to_string((address >> shift) & 0xFFu);
    }
    return text;
}

bool IsContiguousMask(std::uint32_t mask) {
    const std::uint32_t hostBits = ~mask;
    // hostBits is 2^k - 1 exactly when the mask is ones followed by zeros.
    return mask != 0 && (hostBits & (hostBits + 1)) == 0;
}

int MaskPrefixLength(std::uint32_t mask) {
    int prefix = 0;
    while (prefix < 32 && (mask & (0x80000000u >> prefix))) ++prefix;
    return prefix;
}

}  // namespace vimbrel::platform
