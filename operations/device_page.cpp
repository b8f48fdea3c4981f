#include "operations/device_page.h"

namespace vimbrel {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// 1 to `maxDigits` digits, no sign, no space, no leading zero (a browser
// may read "010" as octal), value within [low, high].
bool IsDecimal(const std::wstring& text, std::size_t maxDigits, unsigned low, unsigned high) {
    if (text.empty() || text.size() > maxDigits) return false;
    if (text.size() > 1 && text[0] == L'0') return false;
    unsigned value = 0;
    for (wchar_t c : text) {
        if (!IsDigit(c)) return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value >= low && value <= high;
}

bool IsDottedQuad(const std::wstring& text) {
    std::size_t start = 0;
    for (int octet = 0; octet < 4; ++octet) {
        const std::size_t dot = text.find(L'.', start);
        const bool last = octet == 3;
        if (last != (dot == std::wstring::npos)) return false;
        const std::size_t end = last ? text.size() : dot;
        if (!IsDecimal(text.substr(start, end - start), 3, 0, 255)) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

std::optional<std::wstring> DevicePageAddress(const std::wstring& address,
                                              const std::wstring& port) {
    if (!IsDottedQuad(address) || !IsDecimal(port, 5, 1, 65535)) return std::nullopt;
    return L"http://" + address + L":" + port;
}

}  // namespace vimbrel
