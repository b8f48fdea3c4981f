#pragma once
// The devices an assignment would move off the network they answered
// through: this computer reaches a device through the local address its
// reply came in on, and a new address outside that address's network (under
// the assignment's mask) leaves the device where this computer no longer
// reaches it directly. No toolkit: each front end asks or refuses in its own
// words.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vimbrel {

struct MoveTarget {
    std::uint32_t localAddress = 0;  // the reply's local socket; 0: not known
    std::uint32_t newAddress = 0;
    std::uint32_t mask = 0;  // the new address's mask
};

struct OffLinkGroup {
    std::uint32_t localAddress = 0;
    std::vector<std::size_t> targets;  // indexes into the targets, in their order
};

// The targets whose new address is outside the network of their local
// address (the same mask for both), grouped by local address in the order
// each first appears. A target whose local address is not known is never
// among them.
std::vector<OffLinkGroup> OffLinkMoves(const std::vector<MoveTarget>& targets);

}  // namespace vimbrel
