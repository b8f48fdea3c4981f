#include "platform/arp_probe.h"

#include "platform/linux/connected_interface.h"
#include "platform/linux/kernel_neighbour.h"
#include "platform/linux/raw_arp_request.h"

namespace vimbrel::platform {

namespace {

// The Linux probe: finds the interface whose network holds the candidate and
// asks on that link, with a request of its own or through the kernel.
class LinuxArpProbe final : public ArpProbe {
public:
    explicit LinuxArpProbe(ArpProbeMode mode) : m_mode(mode) {}

    bool HostAnswers(std::uint32_t address) override {
        const auto via = FindConnectedInterface(address);
        if (!via)
            return false;  // not on any directly connected network: nothing sent
        // This computer holds the address itself; nobody else may have it.
        if (IsOwnAddress(address))
            return true;
        if (m_mode != ArpProbeMode::KernelNeighbour) {
            if (const auto answered = RawArpRequestAnswered(*via, address))
                return *answered;
            if (m_mode == ArpProbeMode::RawRequest)
                return false;  // not permitted: counts as no answer
        }
        return KernelNeighbourAnswers(*via, address);
    }

private:
    ArpProbeMode m_mode;
};

}  // namespace

std::unique_ptr<ArpProbe> MakeArpProbe(ArpProbeMode mode) {
    return std::make_unique<LinuxArpProbe>(mode);
}

std::unique_ptr<ArpProbe> MakeSystemArpProbe() {
    return MakeArpProbe(ArpProbeMode::Automatic);
}

}  // namespace vimbrel::platform
