#pragma once
// The address plan as a plan of the session: the matched lines' new
// addresses probed in one wave, then every line whose address is free sent
// its settings in one sweep, the send turn held for both. Both front ends
// render its outcomes. No toolkit.
#include <vector>

#include "platform/arp_probe.h"
#include "session/command_plan.h"
#include "session/device_session.h"
#include "session/match_plan.h"

namespace vimbrel {

// One outcome per match, in their order, its `address` the line's new
// address: kAddressTaken when another row of `rows` reports the address or
// some host answers an ARP probe for it (NewAddressesTaken); else kSent or
// kNotSent (with the error), kNotReached when cancelled before it, kPlanned
// in a dry run (the probes run, nothing is sent). `progress` hears of each
// match by its index: the taken ones after the probes, the others as the
// sweep sends them. `rows` are those the matches index.
std::vector<TargetOutcome> RunAddressPlan(DeviceSession& session,
                                          const std::vector<PlanMatch>& matches,
                                          const std::vector<TableRow>& rows,
                                          platform::ArpProbe& probe, PlanProgress& progress,
                                          bool dryRun = false);

}  // namespace vimbrel
