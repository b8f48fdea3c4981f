#include "platform/arp_probe_rules.h"

namespace vimbrel::platform {

namespace {

bool IsLoopback(std::uint32_t address) { return (address >> 24) == 127; }

}  // namespace

bool ProbeWithRules(std::uint32_t target, const std::vector<LocalAddress>& local,
                    const ArpExchange& exchange) {
    const LocalAddress* via = nullptr;
    for (const LocalAddress& entry : local) {
        if (IsLoopback(entry.address) || entry.netmask == 0) continue;
        if ((entry.address & entry.netmask) == (target & entry.netmask)) {
            via = &entry;
            break;
        }
    }
    if (!via) return false;  // not on any directly connected network: nothing sent
    // This computer holds the address itself; nobody else may have it.
    for (const LocalAddress& entry : local)
        if (entry.address == target) return true;
    return exchange(target, via->address);
}

}  // namespace vimbrel::platform
