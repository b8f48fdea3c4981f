#include "operations/ip_assignment.h"

#include <cwchar>

namespace vimbrel {

namespace {

// The leading decimal integer of `piece`, as wcstol reads it (leading blanks,
// a sign, digits; nothing gives 0).
long LeadingInteger(const std::wstring& piece) { return std::wcstol(piece.c_str(), nullptr, 10); }

}  // namespace

std::uint32_t IPTextToAddress(const std::wstring& text) {
    std::uint32_t address = 0;
    std::wstring rest = text;
    for (int octet = 0; octet < 4; ++octet) {
        // The fourth piece is all that follows the third dot.
        std::wstring piece = rest;
        rest.clear();
        if (octet < 3) {
            if (const std::size_t dot = piece.find(L'.'); dot != std::wstring::npos) {
                rest = piece.substr(dot + 1);
                piece.resize(dot);
            }
        }
        const auto value = static_cast<std::uint32_t>(LeadingInteger(piece)) & 0xFFu;
        address |= value << (8 * (3 - octet));
    }
    return address;
}

}  // namespace vimbrel
