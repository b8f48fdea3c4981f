// UTF-8 by hand, the same on every system: iconv and Windows' code page
// 65001 replace bad input each in their own way.
#include "platform/utf8_text.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

namespace vimbrel::platform {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

bool IsSurrogate(std::uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// A code unit's value; a negative 32-bit one lies past U+10FFFF.
std::uint32_t UnitValue(wchar_t unit) { return static_cast<std::uint32_t>(unit); }

// The code point of the UTF-8 sequence at `bytes[0]`, and its length; none
// for an invalid, overlong, cut-off or surrogate sequence.
std::optional<std::pair<std::uint32_t, std::size_t>> DecodeUtf8(const unsigned char* bytes,
                                                                std::size_t left) {
    const unsigned char lead = bytes[0];
    std::size_t length = 0;
    std::uint32_t c = 0, least = 0;
    if (lead < 0x80) return std::make_pair(std::uint32_t{lead}, std::size_t{1});
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, c = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, c = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, c = lead & 0x07, least = 0x10000;
    else
        return std::nullopt;
    if (length > left) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (bytes[i] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || IsSurrogate(c)) return std::nullopt;
    return std::make_pair(c, length);
}

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c > 0x10FFFF || IsSurrogate(c)) c = kReplacement;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::wstring FromUtf8(std::string_view utf8) {
    std::wstring text;
    text.reserve(utf8.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto decoded = DecodeUtf8(bytes + i, utf8.size() - i);
        if (!decoded) {
            text.push_back(static_cast<wchar_t>(kReplacement));
            ++i;
            continue;
        }
        const auto [c, length] = *decoded;
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            text.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            text.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            text.push_back(static_cast<wchar_t>(c));
        }
        i += length;
    }
    return text;
}

std::string ToUtf8(const std::wstring& text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = UnitValue(text[i]);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            const std::uint32_t low = UnitValue(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(utf8, c);  // a lone half of a pair becomes U+FFFD
    }
    return utf8;
}

}  // namespace vimbrel::platform
