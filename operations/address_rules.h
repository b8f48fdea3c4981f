#pragma once
// Which addresses the automatic IP assignment may hand out. Shared by the
// window and the command line; no toolkit.
//
// The entered mask must be a contiguous run of ones from the top, and the
// start address and the gateway must lie in one network under it; otherwise
// nothing is sent. A candidate (the start's first three octets and the
// counter) is given out only when it lies in the start address's network and
// is neither that network's own address (host part all zeros) nor its
// broadcast address (host part all ones). A candidate that fails is skipped
// without a probe; the counter still moves past it.
#include <cstdint>
#include <vector>

namespace vimbrel {

enum class AssignmentInputFault {
    kNone,
    kMaskNotContiguous,  // also the all-zero mask
    kGatewayOutsideNetwork,  // start and gateway differ under the mask
};

// Whether the dialog's three values can be used, and if not, why.
AssignmentInputFault CheckAssignmentInput(std::uint32_t startAddress, std::uint32_t subnetMask,
                                          std::uint32_t gateway);

// Whether `candidate` may be given to a device: in the start address's
// network under `subnetMask`, and not its network or broadcast address.
bool IsAssignableCandidate(std::uint32_t candidate, std::uint32_t startAddress,
                           std::uint32_t subnetMask);

// The candidates that may be probed, in counter order: the start address's
// first three octets with the last octet from the start's up to 255, less
// those IsAssignableCandidate refuses.
std::vector<std::uint32_t> AssignableCandidates(std::uint32_t startAddress,
                                                std::uint32_t subnetMask);

}  // namespace vimbrel
