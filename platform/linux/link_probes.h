#pragma once
#ifndef VIMBREL_PLATFORM_INTERNAL
#error "private to the platform library: include its interface headers in platform/"
#endif
// ARP probes of many addresses on directly connected links at once, by one of
// the two ways Linux offers: a raw ARP request of our own, or the kernel's
// neighbour resolution.
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/arp_probe.h"
#include "platform/linux/connected_interface.h"

namespace vimbrel::platform {

using ProbeClock = std::chrono::steady_clock;

// How long a candidate waits for an answer, from its start.
inline constexpr std::chrono::milliseconds kAnswerWait{1000};

class LinkProbes {
public:
    virtual ~LinkProbes() = default;
    // Begins probing `target` on `via`'s link (an ARP link: `via.usesArp`).
    virtual void Start(const ConnectedInterface& via, std::uint32_t target) = 0;
    // Waits up to `wait` for verdicts and appends them to `verdicts`. Returns
    // when at least one is in, when `wait` has passed, or at once when
    // nothing is under way.
    virtual void Wait(std::chrono::milliseconds wait, std::vector<ArpVerdict>& verdicts) = 0;
    // The most probes under way at once (ArpProbeBatch::WaveBound).
    virtual std::size_t WaveBound() const = 0;
};

// Requests of our own through one packet socket that receives the replies of
// every link; a reply counts for the candidate whose address sent it on the
// candidate's interface. Each request goes out again after half the wait.
// Nothing when the process may not open a packet socket (it lacks
// CAP_NET_RAW) or the socket fails.
std::unique_ptr<LinkProbes> OpenRawArpProbes();

// The kernel's own resolution, without privilege, watched over one rtnetlink
// socket that hears every change of the neighbour table.
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
// address, makes the kernel resolve the address; an entry that then becomes
// confirmed means an answer, FAILED or no change before the deadline means
// none. Nothing when the rtnetlink socket can't be opened.
std::unique_ptr<LinkProbes> OpenKernelNeighbourProbes();

}  // namespace vimbrel::platform
