#include "protocol/device_identity.h"

#include "protocol/cell_text.h"

namespace vimbrel::protocol {

std::optional<SerialIdentity> CheckSerialIdentity(const std::wstring& serialText) {
    const std::optional<CellBuffer> field = CellBufferIfFits(serialText);
    if (!field) return std::nullopt;
    return SerialIdentity(*field);
}

std::optional<MacIdentity> CheckMacIdentity(std::string_view macText) {
    const std::optional<MacBytes> bytes = ParseMacText(macText);
    if (!bytes) return std::nullopt;
    return MacIdentity(*bytes);
}

// The list's text: six octets are ASCII, anything else names no MAC.
std::optional<MacIdentity> CheckMacIdentity(const std::wstring& macText) {
    std::string narrow;
    for (const wchar_t c : macText) {
        if (c <= 0 || c > 0x7F) return std::nullopt;
        narrow += static_cast<char>(c);
    }
    return CheckMacIdentity(std::string_view(narrow));
}

}  // namespace vimbrel::protocol
