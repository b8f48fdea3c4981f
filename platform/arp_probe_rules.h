#pragma once
// The rules every ARP probe keeps, apart from how the system asks the link.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/local_addresses.h"

namespace vimbrel::platform {

// Asks the link whether a host answers for `target`, from the local address
// `source` on the same network; true for an answer.
using ArpExchange = std::function<bool(std::uint32_t target, std::uint32_t source)>;

// True when `target` lies in a directly connected network and either is
// one of `local` or answers the exchange. An address outside every directly
// connected network (loopback networks aside) is free at once and the
// exchange is not called: a system that asks through its gateway would
// otherwise take the gateway's answer for every off-link address.
bool ProbeWithRules(std::uint32_t target, const std::vector<LocalAddress>& local,
                    const ArpExchange& exchange);

}  // namespace vimbrel::platform
