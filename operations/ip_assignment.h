#pragma once
// Addresses for automatic IP assignment: the dialog's texts as address
// values.
#include <cstdint>
#include <string>

namespace vimbrel {

// Dotted text to an address value, octet 1 in the highest byte. The text is
// cut at its first three dots; each piece counts by its leading decimal
// integer (as wcstol reads it), low 8 bits only.
std::uint32_t IPTextToAddress(const std::wstring& text);

}  // namespace vimbrel
