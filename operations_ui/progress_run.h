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

// Runs step(0) .. step(count - 1) in order on a worker thread, each after the
// previous one has returned, so what they put on the wire keeps its order and
// its pauses. If the run still goes on after kProgressDelay, a progress
// dialog shows `doing` and "第 n 台，共 N 台" with a "取消" button; a cancel
// lets the step under way finish and starts no further step. Returns the
// number of steps that ran. `step` must not touch the toolkit. Window thread
// only.
std::size_t RunStepsWithProgress(wxWindow* parent, const wxString& doing, std::size_t count,
                                 const std::function<void(std::size_t)>& step);

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

// As RunStepsWithProgress, for work that paces its devices itself (the
// address assignment, which probes ahead): `work` runs once on the worker
// thread, reports with Done, checks Cancelled before each device, and
// returns how many devices it reached (all `count` unless cancelled). Returns
// what `work` returned.
std::size_t RunWithProgress(wxWindow* parent, const wxString& doing, std::size_t count,
                            const std::function<std::size_t(ProgressControl&)>& work);

}  // namespace vimbrel
