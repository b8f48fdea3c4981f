#pragma once
// Which addresses the automatic IP assignment may hand out. Shared by the
// window and the command line; no toolkit.
//
// The entered mask must be a contiguous run of ones from the top that leaves
// room for a camera beside a gateway (not /31 or /32). The start address and
// the gateway must be ordinary unicast host addresses: outside 0.0.0.0/8,
// 127.0.0.0/8, 224.0.0.0/4 and 240.0.0.0/4, and neither the network nor the
// broadcast address of their network under the mask; and they must lie in
// one network. Otherwise nothing is sent.
//
// A candidate (the start's first three octets and the counter) is given out
// only when it lies in the start address's network and is neither that
// network's own address (host part all zeros), its broadcast address (host
// part all ones) nor the gateway. A candidate that fails is skipped without a
// probe; the counter still moves past it.
#include <cstdint>
#include <vector>

namespace vimbrel {

enum class AssignmentInputFault {
    kNone,
    kMaskNotContiguous,  // also the all-zero mask
    kMaskLeavesNoHost,  // /31 or /32: no room for a camera beside a gateway
    kStartNotUnicast,  // in 0/8, 127/8, 224/4 or 240/4
    kStartNetworkOrBroadcast,  // host part all zeros or all ones
    kGatewayNotUnicast,
    kGatewayNetworkOrBroadcast,
    kGatewayOutsideNetwork,  // start and gateway differ under the mask
};

// Whether the dialog's three values can be used, and if not, the first
// reason in the order above.
AssignmentInputFault CheckAssignmentInput(std::uint32_t startAddress, std::uint32_t subnetMask,
                                          std::uint32_t gateway);

// Whether `address` is an ordinary unicast address: outside 0.0.0.0/8,
// 127.0.0.0/8, 224.0.0.0/4 (multicast) and 240.0.0.0/4 (reserved).
bool IsOrdinaryUnicast(std::uint32_t address);

// Whether `candidate` may be given to a device: in the start address's
// network under `subnetMask`, not its network or broadcast address, and not
// the gateway.
bool IsAssignableCandidate(std::uint32_t candidate, std::uint32_t startAddress,
                           std::uint32_t subnetMask, std::uint32_t gateway);

// The candidates that may be probed, in counter order: the start address's
// first three octets with the last octet from the start's up to 255, less
// those IsAssignableCandidate refuses.
std::vector<std::uint32_t> AssignableCandidates(std::uint32_t startAddress,
                                                std::uint32_t subnetMask, std::uint32_t gateway);

}  // namespace vimbrel
