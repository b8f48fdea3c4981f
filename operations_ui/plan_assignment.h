#pragma once
// "按地址表分配…": the command line's address plan (operations/address_plan.h)
// on the rows of the session's table (the rows the list shows). Every line
// is checked, and matched to a row (MatchPlan), before anything is sent; the
// user sees old -> new and says yes, and says yes again when devices would
// leave the network they answered through; then the session runs the plan
// (RunAddressPlan) on a worker thread under the progress dialog.
#include <vector>

#include "operations_ui/device_operations.h"
#include "platform/arp_probe.h"

namespace vimbrel {

// Returns the devices whose command went out.
std::vector<MovedDevice> AssignFromPlan(wxWindow* parent, DeviceSession& session,
                                        platform::ArpProbe& probe, const wxString& planFile,
                                        const AskUser& ask, const TellUser& tell);

}  // namespace vimbrel
