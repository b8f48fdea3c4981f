#include "operations/address_rules.h"

#include "platform/ipv4_text.h"

namespace vimbrel {

namespace {

bool IsNetworkOrBroadcast(std::uint32_t address, std::uint32_t subnetMask) {
    const std::uint32_t host = address & ~subnetMask;
    return host == 0 || host == ~subnetMask;
}

}  // namespace

bool IsOrdinaryUnicast(std::uint32_t address) {
    const std::uint32_t first = address >> 24;
    return first != 0 && first != 127 && first < 224;
}

AssignmentInputFault CheckAssignmentInput(std::uint32_t startAddress, std::uint32_t subnetMask,
                                          std::uint32_t gateway) {
    if (!platform::IsContiguousMask(subnetMask)) return AssignmentInputFault::kMaskNotContiguous;
    if ((~subnetMask) < 3u) return AssignmentInputFault::kMaskLeavesNoHost;
    if (!IsOrdinaryUnicast(startAddress)) return AssignmentInputFault::kStartNotUnicast;
    if (IsNetworkOrBroadcast(startAddress, subnetMask))
        return AssignmentInputFault::kStartNetworkOrBroadcast;
    if (!IsOrdinaryUnicast(gateway)) return AssignmentInputFault::kGatewayNotUnicast;
    if (IsNetworkOrBroadcast(gateway, subnetMask))
        return AssignmentInputFault::kGatewayNetworkOrBroadcast;
    if ((startAddress & subnetMask) != (gateway & subnetMask))
        return AssignmentInputFault::kGatewayOutsideNetwork;
    return AssignmentInputFault::kNone;
}

bool IsAssignableCandidate(std::uint32_t candidate, std::uint32_t startAddress,
                           std::uint32_t subnetMask, std::uint32_t gateway) {
    if ((candidate & subnetMask) != (startAddress & subnetMask)) return false;
    return candidate != gateway && !IsNetworkOrBroadcast(candidate, subnetMask);
}

std::vector<std::uint32_t> AssignableCandidates(std::uint32_t startAddress,
                                                std::uint32_t subnetMask, std::uint32_t gateway) {
    std::vector<std::uint32_t> candidates;
    for (std::uint32_t last = startAddress & 0xFFu; last <= 0xFFu; ++last) {
        const std::uint32_t candidate = (startAddress & 0xFFFFFF00u) | last;
        if (IsAssignableCandidate(candidate, startAddress, subnetMask, gateway))
            candidates.push_back(candidate);
    }
    return candidates;
}

}  // namespace vimbrel
