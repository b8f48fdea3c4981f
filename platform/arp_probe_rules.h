#pragma once
// The rules every ARP probe keeps, apart from how the system asks the link.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/local_addresses.h"

namespace vimbrel::platform {

// What the rules make of one address before anything goes on the wire.
enum class ArpRuling {
    NotAnswered,  // settled: no host answers (off every link, or no way to ask)
    Answered,  // settled: this computer holds the address itself
    Ask,  // the link must be asked
};

// The rules every probe keeps, in this order: an address outside every
// directly connected network is not answered, with nothing sent; one of this
// computer's own addresses is answered; an address on a link that can't be
// asked (no ARP there, or no way to ask open) is not answered; the rest is
// asked. `own` and `canAsk` matter only when `onLink`.
ArpRuling RuleOnAddress(bool onLink, bool own, bool canAsk);

// Asks the link whether a host answers for `target`, from the local address
// `source` on the same network; true for an answer.
using ArpExchange = std::function<bool(std::uint32_t target, std::uint32_t source)>;

// RuleOnAddress over `local`: the first of its addresses (loopback networks
// aside) whose network holds `target` is the link, asked through `exchange`
// from that address. An address off every link is free at once and the
// exchange is not called: a system that asks through its gateway would
// otherwise take the gateway's answer for every off-link address.
bool ProbeWithRules(std::uint32_t target, const std::vector<LocalAddress>& local,
                    const ArpExchange& exchange);

}  // namespace vimbrel::platform
