#pragma once
// ARP through the kernel's own neighbour resolution, without privilege.
#include <cstdint>

#include "platform/linux/connected_interface.h"

namespace vimbrel::platform {

// Whether a host holds `target` on `via`'s link, as the kernel's neighbour
// table tells it.
//
// An entry the kernel already has decides at once, without traffic:
// REACHABLE and PERMANENT mean taken; so do STALE, DELAY and PROBE — the
// kernel has heard from that host and not yet found it gone, and without
// privilege nothing can make it ask again within a second (it waits seconds
// before re-probing a stale entry), so the address is kept back rather than
// handed out while it may still be in use. NOARP entries (broadcast,
// multicast) are no ARP answer.
//
// Otherwise one small UDP datagram to the discard port, sent from `via`'s
// address, makes the kernel resolve `target`; the table is then watched for
// about one second: an entry that becomes confirmed means an answer,
// INCOMPLETE, FAILED or none means no answer.
bool KernelNeighbourAnswers(const ConnectedInterface& via, std::uint32_t target);

}  // namespace vimbrel::platform
