#pragma once
// Addresses for automatic IP assignment: the dialog's texts as address
// values, and the counter that hands out the next address nobody answers for.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/arp_probe.h"

namespace vimbrel {

// Dotted text to an address value, octet 1 in the highest byte. The text is
// cut at its first three dots; each piece counts by its leading decimal
// integer (as wcstol reads it), low 8 bits only.
std::uint32_t IPTextToAddress(const std::wstring& text);

// "%d.%d.%d.%d" of the four bytes, highest first.
std::string AddressText(std::uint32_t address);

// Walks the last octet upward from the start address, once per run of the
// assignment, carried from one device to the next.
class AddressCounter {
public:
    explicit AddressCounter(std::uint32_t startAddress);

    // Probes candidates from the counter on, advancing it before each probe,
    // until one gets no answer: that one's text. Nothing once the counter
    // has passed 255, then for every later call too, without a probe.
    std::optional<std::string> NextFreeAddress(platform::ArpProbe& probe);

private:
    std::uint32_t m_dwNetwork;  // the start address's first three octets
    int m_nCounter;             // the last octet of the next candidate
};

}  // namespace vimbrel
