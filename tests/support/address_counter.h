#pragma once
// The address assignment as the window first did it, one candidate at a
// time: the reference the planner that probes ahead (operations/
// address_planner.h) is held against, in the tests and the benchmark.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/arp_probe.h"

namespace vimbrel {

// Walks the last octet upward from the start address, once per run of the
// assignment, carried from one device to the next.
class AddressCounter {
public:
    AddressCounter(std::uint32_t startAddress, std::uint32_t subnetMask, std::uint32_t gateway);

    // Takes candidates from the counter on, advancing it past each, until
    // one may be given out and gets no answer to its probe: that one's text.
    // One may be given out when it lies in the start address's network and
    // is neither its network or broadcast address nor the gateway (the rule
    // written out here on its own, not the product's IsAssignableCandidate). A candidate that may
    // not be given out is passed without a probe. Nothing once the counter has passed 255, then for
    // every later call too, without a probe.
    std::optional<std::string> NextFreeAddress(platform::ArpProbe& probe);

private:
    std::uint32_t m_dwStartIP;
    std::uint32_t m_dwSubnetMask;
    std::uint32_t m_dwGateway;
    int m_nCounter;  // the last octet of the next candidate
};

}  // namespace vimbrel
