#include "operations/device_identity.h"

#include <string>

#include "operations/cell_text.h"

namespace vimbrel {

std::optional<protocol::CellBuffer> SerialIdentity(const std::wstring& serialText) {
    return CellBufferIfFits(serialText);
}

std::optional<protocol::MacBytes> MacIdentity(std::string_view macText) {
    // Read with the one MAC parser, then written back: only a text that reads
    // whole as six octets comes back the same (but for the letters' case).
    const std::string text(macText);
    const protocol::MacBytes mac = protocol::MacTextToBytes(text.c_str());
    const std::wstring written = protocol::MacBytesToText(mac);
    if (written.size() != text.size()) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char upper = (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
        if (static_cast<wchar_t>(upper) != written[i]) return std::nullopt;
    }
    return mac;
}

}  // namespace vimbrel
