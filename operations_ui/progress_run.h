#pragma once
// Long work over many devices, run so that the window stays alive: the steps
// run one after the other on a worker thread while the window thread keeps
// handling events and, once the work has taken half a second, shows a
// progress dialog that can cancel it.
#include <chrono>
#include <cstddef>
#include <functional>

#include <wx/string.h>
#include <wx/window.h>

#include "session/command_plan.h"

namespace vimbrel {

// Work that ends sooner shows no progress dialog.
inline constexpr std::chrono::milliseconds kProgressDelay{500};

// Runs `work` once on a worker thread while the window thread keeps handling
// events. `work` tells the progress it is given of each device done (Done:
// the dialog counts the calls) and checks Cancelled before each device (a
// sweep: before each slice of it). If the run still goes on after
// kProgressDelay, a progress dialog shows `doing` and "第 n 台，共 N 台" with
// a "取消" button; a cancel lets the device (or the sweep's slice) under way
// finish. `work` must not touch the toolkit; what it throws is thrown here.
// Nothing runs for no device. Window thread only.
void RunWithProgress(wxWindow* parent, const wxString& doing, std::size_t count,
                     const std::function<void(PlanProgress&)>& work);

}  // namespace vimbrel
