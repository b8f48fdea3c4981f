#pragma once
// The address plan's lines matched to the rows of the session's table: a
// line naming a MAC address takes the row with those six bytes, a line
// naming a serial number the one row that reports it. What can't be matched
// comes back as codes with their values; each front end words them. No
// toolkit. (Here and not beside the plan's reader: the rows are the
// session's.)
#include <cstddef>
#include <string>
#include <vector>

#include "operations/address_plan.h"
#include "protocol/device_identity.h"
#include "session/device_table.h"

namespace vimbrel {

// A plan line with the row it names and that row's MAC as a command's
// identity.
struct PlanMatch {
    const PlanEntry* entry;
    std::size_t row;  // index into the rows
    protocol::MacIdentity mac;
};

enum class PlanMatchFault {
    kNoRow,  // no row answers to the line's identity
    kSerialShared,  // `count` rows report the line's serial number
    kMacUnusable,  // the row it names has a MAC text that is not six octets
};

struct PlanMatchError {
    std::size_t line = 0;  // of the file, from 1
    PlanMatchFault fault = PlanMatchFault::kNoRow;
    bool byMac = true;  // the line's identity is a MAC address, else a serial number
    std::string identity;  // the line's identity as it stands in the file
    std::size_t count = 0;  // kSerialShared: how many rows report it
    std::size_t row = 0;  // kMacUnusable: the row
};

struct PlanMatching {
    std::vector<PlanMatch> matches;  // in the plan's order
    std::vector<PlanMatchError> errors;  // in the plan's order; the plan is sent only when none
};

// `plan` and `rows` must outlive the result.
PlanMatching MatchPlan(const AddressPlan& plan, const std::vector<TableRow>& rows);

}  // namespace vimbrel
