// The progress dialog of a long batch, on its own: no network, no window.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <wx/dialog.h>
#include <wx/timer.h>

#include "operations_ui/progress_run.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

// The work tells that its last device is done and only then returns: the
// dialog must go with the work, not turn into a "Done." box that waits for
// the user (a modal dialog, which the timer closes and counts).
TEST(ProgressRun, WorkThatEndsAfterItsLastDeviceLeavesNoDialogBehind) {
    int waitingDialogs = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxDialog*>(window);
            if (dialog && dialog->IsModal()) {
                ++waitingDialogs;
                dialog->EndModal(wxID_CANCEL);
            }
        }
    });
    timer.Start(20);
    const std::size_t reached = RunWithProgress(nullptr, L"测试", 2, [](ProgressControl& control) {
        std::this_thread::sleep_for(kProgressDelay + 200ms);  // the dialog shows
        control.Done(2);
        std::this_thread::sleep_for(300ms);  // last words before the work ends
        return std::size_t{2};
    });
    timer.Stop();
    EXPECT_EQ(reached, 2u);
    EXPECT_EQ(waitingDialogs, 0);
}

}  // namespace
}  // namespace vimbrel::test
