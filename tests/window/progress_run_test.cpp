// The progress dialog of a long batch, on its own: no network, no window.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <wx/dialog.h>
#include <wx/progdlg.h>
#include <wx/timer.h>

#include "operations_ui/progress_run.h"
#include "tests/support/wait.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

// The work waits until the progress dialog shows, tells that its last
// device is done and only then returns: the dialog must go with the work,
// not turn into a "Done." box that waits for the user (a modal dialog, which
// the timer closes and counts).
TEST(ProgressRun, WorkThatEndsAfterItsLastDeviceLeavesNoDialogBehind) {
    int waitingDialogs = 0;
    std::atomic<bool> progressShown{false};
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxDialog*>(window);
            if (dynamic_cast<wxGenericProgressDialog*>(window) && window->IsShown())
                progressShown = true;
            if (dialog && dialog->IsModal()) {
                ++waitingDialogs;
                dialog->EndModal(wxID_CANCEL);
            }
        }
    });
    timer.Start(20);
    bool ran = false;
    RunWithProgress(nullptr, L"测试", 2, [&](PlanProgress& progress) {
        WaitUntil([&] { return progressShown.load(); }, 10s);
        progress.Done(0, {});
        progress.Done(1, {});
        std::this_thread::sleep_for(300ms);  // last words before the work ends
        ran = true;
    });
    timer.Stop();
    EXPECT_TRUE(progressShown);
    EXPECT_TRUE(ran);
    EXPECT_EQ(waitingDialogs, 0);
}

}  // namespace
}  // namespace vimbrel::test
