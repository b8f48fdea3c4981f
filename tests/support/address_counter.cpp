#include "tests/support/address_counter.h"

#include "platform/ipv4_text.h"

namespace vimbrel {

namespace {

constexpr int kLastOctet = 255;

}  // namespace

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
        const std::uint32_t host = candidate & ~m_dwSubnetMask;
        const bool sameNetwork = (candidate & m_dwSubnetMask) == (m_dwStartIP & m_dwSubnetMask);
        if (!sameNetwork || host == 0 || host == ~m_dwSubnetMask || candidate == m_dwGateway)
            continue;
        if (!probe.HostAnswers(candidate)) return platform::FormatIPv4(candidate);
    }
    return std::nullopt;
}

}  // namespace vimbrel
