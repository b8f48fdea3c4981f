#pragma once
// Asks the local network whether a host answers for an IPv4 address.
#include <cstdint>
#include <memory>

namespace vimbrel::platform {

class ArpProbe {
public:
    virtual ~ArpProbe() = default;
    // True when some host answered an ARP request for `address` (host
    // order); false for no answer, any failure, or an address outside every
    // directly connected network (then nothing is sent).
    virtual bool HostAnswers(std::uint32_t address) = 0;
};

// The system's probe: SendARP on Windows; on Linux a raw ARP request where
// the process may open one, else the kernel's neighbour resolution.
std::unique_ptr<ArpProbe> MakeSystemArpProbe();

}  // namespace vimbrel::platform
