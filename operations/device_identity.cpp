#include "operations/device_identity.h"

#include "operations/cell_text.h"

namespace vimbrel {

std::optional<protocol::CellBuffer> SerialIdentity(const std::wstring& serialText) {
    return CellBufferIfFits(serialText);
}

std::optional<protocol::MacBytes> MacIdentity(std::string_view macText) {
    return protocol::ParseMacText(macText);
}

}  // namespace vimbrel
