// Wide text <-> GBK with the system's code page 936, and wide text <->
// UTF-8 (wchar_t is UTF-16 here). The cameras' texts are GBK whatever the computer's own language,
// so CP_ACP is not used.
//
// The results are those of the iconv build for the same input: code page
// 936 maps the user-defined areas to private-use characters where GBK has
// no character, so those count as invalid here; an invalid or cut-off
// sequence gives one U+FFFD and conversion goes on after its first byte; a
// character GBK lacks gives one '?', a surrogate pair included.
#include "platform/code_page.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <utility>

namespace vimbrel::platform {

namespace {

constexpr UINT kCodePage = 936;
constexpr wchar_t kReplacement = L'\uFFFD';

bool IsPrivateUse(std::uint32_t c) { return c >= 0xE000 && c <= 0xF8FF; }

// The character of exactly `count` bytes, if they are one valid one.
std::optional<wchar_t> DecodeOne(const char* bytes, int count) {
    wchar_t out[2];
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, count, out, 2);
    if (n != 1 || IsPrivateUse(out[0])) return std::nullopt;
    return out[0];
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

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
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    return std::make_pair(c, length);
}

void AppendUtf8(std::string& out, std::uint32_t c) {
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

std::wstring AnsiToWide(const char* bytes, std::size_t size) {
    std::wstring text;
    if (!bytes) return text;
    const std::size_t length = strnlen(bytes, size);
    text.reserve(length);
    std::size_t i = 0;
    while (i < length) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            text.push_back(static_cast<wchar_t>(c));
            ++i;
            continue;
        }
        if (IsDBCSLeadByteEx(kCodePage, c)) {
            if (i + 1 < length) {
                if (const auto pair = DecodeOne(bytes + i, 2)) {
                    text.push_back(*pair);
                    i += 2;
                    continue;
                }
            }
            text.push_back(kReplacement);  // invalid pair or cut off by the end
            ++i;
            continue;
        }
        text.push_back(DecodeOne(bytes + i, 1).value_or(kReplacement));
        ++i;
    }
    return text;
}

std::string WideToAnsi(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            bytes.push_back('?');  // outside the 16-bit range: GBK has none of these
            ++i;
            continue;
        }
        if (IsHighSurrogate(c) || IsLowSurrogate(c) || IsPrivateUse(c)) {
            bytes.push_back('?');
            continue;
        }
        char out[4];
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &c, 1, out, sizeof out,
                                          nullptr, &usedDefault);
        if (n <= 0 || usedDefault) {
            bytes.push_back('?');
            continue;
        }
        bytes.append(out, static_cast<std::size_t>(n));
    }
    return bytes;
}

// UTF-8 by hand rather than through code page 65001, whose replacement rules
// for bad input differ from iconv's: here, as there, each byte that starts no
// valid sequence gives one U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring text;
    text.reserve(utf8.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto decoded = DecodeUtf8(bytes + i, utf8.size() - i);
        if (!decoded) {
            text.push_back(kReplacement);
            ++i;
            continue;
        }
        const auto [c, length] = *decoded;
        if (c >= 0x10000) {
            text.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            text.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            text.push_back(static_cast<wchar_t>(c));
        }
        i += length;
    }
    return text;
}

std::string WideToUtf8(const std::wstring& text) {
    std::string utf8;
    utf8.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(utf8, 0x10000 + ((static_cast<std::uint32_t>(c) - 0xD800) << 10) +
                                 (static_cast<std::uint32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendUtf8(utf8, 0xFFFD);  // a lone half of a pair
        } else {
            AppendUtf8(utf8, static_cast<std::uint32_t>(c));
        }
    }
    return utf8;
}

}  // namespace vimbrel::platform
