#pragma once
// "按地址表分配…": the command line's address plan (operations/address_plan.h)
// on the rows of the list. Every line is checked, and matched to a row of
// the list, before anything is sent; the user sees old -> new and says yes;
// then every new address is probed at once and each device whose address is
// free gets its command, on a worker thread under the progress dialog.
#include <vector>

#include <wx/listctrl.h>

#include "operations_ui/device_operations.h"
#include "platform/arp_probe.h"
#include "protocol/local_sockets.h"

namespace vimbrel {

// Returns the devices whose command went out.
std::vector<MovedDevice> AssignFromPlan(wxWindow* parent, const wxListCtrl& list,
                                        DeviceSession& session, platform::ArpProbe& probe,
                                        const wxString& planFile, const AskUser& ask,
                                        const TellUser& tell);

}  // namespace vimbrel
