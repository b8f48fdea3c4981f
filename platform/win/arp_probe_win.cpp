// The ARP probe through the IP Helper's SendARP.
#include "platform/arp_probe.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include "platform/arp_probe_rules.h"
#include "platform/local_addresses.h"

namespace vimbrel::platform {

namespace {

// One SendARP from `source`: true when a host answered with its hardware
// address. SendARP itself waits for the answer (about a second for none).
bool SendArpAnswered(std::uint32_t target, std::uint32_t source) {
    ULONG mac[2] = {0, 0};
    ULONG length = 6;
    const DWORD result = SendARP(htonl(target), htonl(source), mac, &length);
    return result == NO_ERROR && length > 0;
}

class WindowsArpProbe final : public ArpProbe {
public:
    bool HostAnswers(std::uint32_t address) override {
        return ProbeWithRules(address, LocalIPv4Addresses(), SendArpAnswered);
    }
};

}  // namespace

// Windows has one way to the wire: every mode is SendARP.
std::unique_ptr<ArpProbe> MakeArpProbe(ArpProbeMode) { return std::make_unique<WindowsArpProbe>(); }

std::unique_ptr<ArpProbe> MakeSystemArpProbe() { return std::make_unique<WindowsArpProbe>(); }

}  // namespace vimbrel::platform
