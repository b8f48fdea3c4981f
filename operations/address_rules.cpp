#include "operations/address_rules.h"

#include "platform/ipv4_text.h"

namespace vimbrel {

AssignmentInputFault CheckAssignmentInput(std::uint32_t startAddress, std::uint32_t subnetMask,
                                          std::uint32_t gateway) {
    if (!platform::IsContiguousMask(subnetMask)) return AssignmentInputFault::kMaskNotContiguous;
    if ((startAddress & subnetMask) != (gateway & subnetMask))
        return AssignmentInputFault::kGatewayOutsideNetwork;
    return AssignmentInputFault::kNone;
}

bool IsAssignableCandidate(std::uint32_t candidate, std::uint32_t startAddress,
                           std::uint32_t subnetMask) {
    if ((candidate & subnetMask) != (startAddress & subnetMask)) return false;
    const std::uint32_t host = candidate & ~subnetMask;
    return host != 0 && host != ~subnetMask;
}

std::vector<std::uint32_t> AssignableCandidates(std::uint32_t startAddress,
                                                std::uint32_t subnetMask) {
    std::vector<std::uint32_t> candidates;
    for (std::uint32_t last = startAddress & 0xFFu; last <= 0xFFu; ++last) {
        const std::uint32_t candidate = (startAddress & 0xFFFFFF00u) | last;
        if (IsAssignableCandidate(candidate, startAddress, subnetMask))
            candidates.push_back(candidate);
    }
    return candidates;
}

}  // namespace vimbrel
