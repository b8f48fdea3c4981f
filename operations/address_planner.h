#pragma once
// Automatic IP assignment with the probes in one wave: the devices get
// exactly the addresses that probing one candidate at a time would give them
// (AddressCounter in tests/support), in the same order, but every candidate
// that could be needed is asked at once, up to the batch's WaveBound. No toolkit: the window and
// the command line share it, and what happens to each address (a command, a line of a plan) is the
// caller's.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/arp_probe.h"

namespace vimbrel {

struct AssignmentProgress {
    std::size_t assigned = 0;  // devices 0 .. assigned-1 got an address, in order
    bool cancelled = false;  // `keepGoing` said stop before every device was done
};

// Gives devices 0, 1, ... `deviceCount`-1 in turn the next of `candidates`
// (in counter order, AssignableCandidates) that no host answers for; devices
// left when the candidates run out get nothing.
//
// Candidates are probed ahead of the one to be given out, never more than
// the batch's WaveBound at once and each at most once, and only as many as
// could still be needed: the candidates probed are exactly those the
// one-at-a-time walk would probe. A free candidate is handed out once every
// candidate before it has settled.
//
// `assign(device, address)` runs once per device that gets an address, in
// device order, on the calling thread. `keepGoing()` runs before each
// `assign` and at least every 50 ms while probes are under way (the window
// repaints and reads its cancel button there); false stops before the next
// device, and the probes under way are abandoned.
AssignmentProgress AssignAddresses(const std::vector<std::uint32_t>& candidates,
                                   std::size_t deviceCount, platform::ArpProbe& probe,
                                   const std::function<void(std::size_t, std::uint32_t)>& assign,
                                   const std::function<bool()>& keepGoing);

}  // namespace vimbrel
