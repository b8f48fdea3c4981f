#include "platform/arp_probe_rules.h"

namespace vimbrel::platform {

namespace {

bool IsOneOf(std::uint32_t address, const std::vector<LocalAddress>& local) {
    for (const LocalAddress& entry : local)
        if (entry.address == address) return true;
    return false;
}

}  // namespace

ArpRuling RuleOnAddress(bool onLink, bool own, bool canAsk) {
    if (!onLink) return ArpRuling::NotAnswered;  // nothing sent
    // This computer holds the address itself; nobody else may have it.
    if (own) return ArpRuling::Answered;
    return canAsk ? ArpRuling::Ask : ArpRuling::NotAnswered;
}

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
    switch (RuleOnAddress(via != nullptr, via && IsOneOf(target, local), true)) {
    case ArpRuling::NotAnswered: return false;
    case ArpRuling::Answered: return true;
    case ArpRuling::Ask: break;
    }
    return exchange(target, via->address);
}

}  // namespace vimbrel::platform
