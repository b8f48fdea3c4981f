#include "operations/ip_assignment.h"

#include <cwchar>

#include "operations/address_rules.h"
#include "platform/ipv4_text.h"

namespace vimbrel {

namespace {

constexpr int kLastOctet = 255;

// The leading decimal integer of `piece`, as wcstol reads it (leading blanks,
// a sign, digits; nothing gives 0).
long LeadingInteger(const std::wstring& piece) { return std::wcstol(piece.c_str(), nullptr, 10); }

}  // namespace

std::uint32_t IPTextToAddress(const std::wstring& text) {
    std::uint32_t address = 0;
    std::wstring rest = text;
    for (int octet = 0; octet < 4; ++octet) {
        // The fourth piece is all that follows the third dot.
        std::wstring piece = rest;
        rest.clear();
        if (octet < 3) {
            if (const std::size_t dot = piece.find(L'.'); dot != std::wstring::npos) {
                rest = piece.substr(dot + 1);
                piece.resize(dot);
            }
        }
        const auto value = static_cast<std::uint32_t>(LeadingInteger(piece)) & 0xFFu;
        address |= value << (8 * (3 - octet));
    }
    return address;
}

AddressCounter::AddressCounter(std::uint32_t startAddress, std::uint32_t subnetMask,
                               std::uint32_t gateway)
    : m_dwStartIP(startAddress),
      m_dwSubnetMask(subnetMask),
      m_dwGateway(gateway),
      m_nCounter(static_cast<int>(startAddress & 0xFFu)) {}

std::optional<std::string> AddressCounter::NextFreeAddress(platform::ArpProbe& probe) {
    while (m_nCounter <= kLastOctet) {
        const std::uint32_t candidate =
            (m_dwStartIP & 0xFFFFFF00u) | static_cast<std::uint32_t>(m_nCounter);
        ++m_nCounter;  // used up whatever the probe says
        if (!IsAssignableCandidate(candidate, m_dwStartIP, m_dwSubnetMask, m_dwGateway)) continue;
        if (!probe.HostAnswers(candidate)) return platform::FormatIPv4(candidate);
    }
    return std::nullopt;
}

}  // namespace vimbrel
