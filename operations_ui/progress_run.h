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

namespace vimbrel {

// Work that ends sooner shows no progress dialog.
inline constexpr std::chrono::milliseconds kProgressDelay{500};

// What work of its own pace tells the progress dialog and hears from it;
// called from the worker thread.
class ProgressControl {
public:
    // Whether "取消" was pressed: start no further device.
    virtual bool Cancelled() = 0;
    // How many of the devices are done.
    virtual void Done(std::size_t count) = 0;

protected:
    ~ProgressControl() = default;
};

// Runs `work` once on a worker thread while the window thread keeps handling
// events; `work` reports with Done, checks Cancelled before each device (a
// sweep: before each slice of it), and returns how many devices it reached
// (all `count` unless cancelled). If the run still goes on after
// kProgressDelay, a progress dialog shows `doing` and "第 n 台，共 N 台" with
// a "取消" button; a cancel lets the device (or the sweep's slice) under way
// finish. `work` must not touch the toolkit. Returns what `work` returned;
// nothing runs for no device. Window thread only.
std::size_t RunWithProgress(wxWindow* parent, const wxString& doing, std::size_t count,
                            const std::function<std::size_t(ProgressControl&)>& work);

}  // namespace vimbrel
