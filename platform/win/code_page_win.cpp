// Wide text <-> GBK with the system's code page 936 (wchar_t is UTF-16
// here). The cameras' texts are GBK whatever the computer's own language,
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
#include <optional>

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

}  // namespace vimbrel::platform
