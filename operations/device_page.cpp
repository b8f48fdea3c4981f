#include "operations/device_page.h"

#include <string>

#include "platform/ipv4_text.h"

namespace vimbrel {
namespace {

// 1 to 5 digits, no sign, no space, no leading zero, 1..65535.
bool IsPort(const std::wstring& text) {
    if (text.empty() || text.size() > 5 || text[0] == L'0') return false;
    unsigned value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value <= 65535;
}

// The platform's dotted-quad rule, for a wide text.
bool IsDottedQuad(const std::wstring& text) {
    std::string ascii;
    for (wchar_t c : text) {
        if (c <= 0 || c > 0x7F) return false;
        ascii.push_back(static_cast<char>(c));
    }
    return platform::IsDottedQuad(ascii);
}

}  // namespace

std::optional<std::wstring> DevicePageAddress(const std::wstring& address,
                                              const std::wstring& port) {
    if (!IsDottedQuad(address) || !IsPort(port)) return std::nullopt;
    return L"http://" + address + L":" + port;
}

}  // namespace vimbrel
