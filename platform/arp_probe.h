#pragma once
// Asks the local network whether a host answers for an IPv4 address.
#include <cstdint>
#include <memory>

namespace vimbrel::platform {

class ArpProbe {
public:
    virtual ~ArpProbe() = default;
    // True when some host answered an ARP request for `address` (host
    // order), or when the address is this computer's own; false for no
    // answer, any failure, or an address outside every directly connected
    // network (then nothing is sent). Blocks about one second for a
    // candidate nobody answers for.
    virtual bool HostAnswers(std::uint32_t address) = 0;
};

// How the probe reaches the wire where the system offers more than one way.
enum class ArpProbeMode {
    Automatic,        // the raw request where permitted, else the kernel's
    RawRequest,       // an ARP request of our own (needs CAP_NET_RAW on Linux)
    KernelNeighbour,  // the kernel's own neighbour resolution (no privilege)
};

// The system's probe: SendARP on Windows; on Linux a raw ARP request where
// the process may open one, else the kernel's neighbour resolution.
std::unique_ptr<ArpProbe> MakeSystemArpProbe();
std::unique_ptr<ArpProbe> MakeArpProbe(ArpProbeMode mode);

}  // namespace vimbrel::platform
