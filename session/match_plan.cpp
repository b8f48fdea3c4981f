#include "session/match_plan.h"

namespace vimbrel {

PlanMatching MatchPlan(const AddressPlan& plan, const std::vector<TableRow>& rows) {
    // The rows' MACs as bytes, read once.
    std::vector<std::optional<protocol::MacIdentity>> macs;
    macs.reserve(rows.size());
    for (const TableRow& row : rows) macs.push_back(protocol::CheckMacIdentity(row.device.mac));

    PlanMatching matching;
    for (const PlanEntry& entry : plan.entries) {
        std::vector<std::size_t> named;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const bool match = entry.byMac ? macs[r] && macs[r]->Bytes() == entry.mac
                                           : rows[r].device.serial == entry.serial;
            if (match) named.push_back(r);
        }
        PlanMatchError error{entry.line, PlanMatchFault::kNoRow, entry.byMac, entry.identityText};
        if (named.empty()) {
            matching.errors.push_back(error);
        } else if (named.size() > 1) {
            error.fault = PlanMatchFault::kSerialShared;
            error.count = named.size();
            matching.errors.push_back(error);
        } else if (!macs[named[0]]) {
            error.fault = PlanMatchFault::kMacUnusable;
            error.row = named[0];
            matching.errors.push_back(error);
        } else {
            matching.matches.push_back({&entry, named[0], *macs[named[0]]});
        }
    }
    return matching;
}

}  // namespace vimbrel
