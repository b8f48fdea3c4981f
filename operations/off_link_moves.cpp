#include "operations/off_link_moves.h"

#include <algorithm>

namespace vimbrel {

std::vector<OffLinkGroup> OffLinkMoves(const std::vector<MoveTarget>& targets) {
    std::vector<OffLinkGroup> groups;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const MoveTarget& target = targets[i];
        if (target.localAddress == 0) continue;
        if ((target.localAddress & target.mask) == (target.newAddress & target.mask)) continue;
        auto group = std::find_if(groups.begin(), groups.end(), [&](const OffLinkGroup& g) {
            return g.localAddress == target.localAddress;
        });
        if (group == groups.end()) group = groups.insert(groups.end(), {target.localAddress, {}});
        group->targets.push_back(i);
    }
    return groups;
}

}  // namespace vimbrel
