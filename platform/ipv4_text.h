#pragma once
// IPv4 addresses as text. Addresses are 32-bit numbers in host order (first
// octet in the top byte).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vimbrel::platform {

// Four decimal numbers of at most three digits and at most 255, split by
// single dots, nothing before or after. A leading zero ("010") is refused:
// some readers of such a text take it as octal.
std::optional<std::uint32_t> ParseIPv4(std::string_view text);
bool IsDottedQuad(std::string_view text);

// "%d.%d.%d.%d", highest octet first.
std::string FormatIPv4(std::uint32_t address);

// A subnet mask: ones from the top, then zeros, and at least one bit set.
bool IsContiguousMask(std::uint32_t mask);
// The number of leading one bits of a contiguous mask.
int MaskPrefixLength(std::uint32_t mask);

}  // namespace vimbrel::platform
