#include "operations_ui/progress_run.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/progdlg.h>
#include <wx/thread.h>

namespace vimbrel {

namespace {

constexpr std::chrono::milliseconds kRepaintInterval{40};

wxString ProgressText(const wxString& doing, std::size_t current, std::size_t count) {
    return doing + "\n" + wxString::Format(_(L"第 %zu 台，共 %zu 台"), current, count);
}

// What the worker and the window thread share.
struct StepRun final : PlanProgress {
    std::mutex lock;
    std::condition_variable changed;
    std::size_t done = 0;  // the Done calls
    bool finished = false;
    bool cancel = false;
    std::exception_ptr error;

    bool Cancelled() override {
        const std::lock_guard guard(lock);
        return cancel;
    }
    void Done(std::size_t, const TargetOutcome&) override {
        const std::lock_guard guard(lock);
        ++done;
    }
};

void RunWork(StepRun& run, const std::function<void(PlanProgress&)>& work) {
    try {
        work(run);
    } catch (...) {
        const std::lock_guard guard(run.lock);
        run.error = std::current_exception();
    }
    {
        const std::lock_guard guard(run.lock);
        run.finished = true;
    }
    run.changed.notify_all();
}

}  // namespace

void RunWithProgress(wxWindow* parent, const wxString& doing, std::size_t count,
                     const std::function<void(PlanProgress&)>& work) {
    wxASSERT(wxIsMainThread());
    if (count == 0) return;
    StepRun run;
    // On any way out, no further step starts and the worker has ended.
    struct Worker {
        StepRun& run;
        std::thread thread;
        ~Worker() {
            {
                const std::lock_guard guard(run.lock);
                run.cancel = true;
            }
            if (thread.joinable()) thread.join();
        }
    } worker{run, std::thread([&] { RunWork(run, work); })};

    bool finished;
    {
        std::unique_lock guard(run.lock);
        finished = run.changed.wait_for(guard, kProgressDelay, [&] { return run.finished; });
    }
    if (!finished) {
        wxProgressDialog dialog(L"Vimbrel", ProgressText(doing, 1, count), static_cast<int>(count),
                                parent, wxPD_APP_MODAL | wxPD_CAN_ABORT);
        if (auto* cancel = wxDynamicCast(dialog.FindWindow(wxID_CANCEL), wxButton))
            cancel->SetLabel(_(L"取消"));
        // The press counts at once, not only at the next Update.
        dialog.Bind(
            wxEVT_BUTTON,
            [&run](wxCommandEvent& event) {
                event.Skip();
                const std::lock_guard guard(run.lock);
                run.cancel = true;
            },
            wxID_CANCEL);
        for (;;) {
            std::size_t done;
            {
                const std::lock_guard guard(run.lock);
                if (run.finished) break;
                done = run.done;
            }
            // The full count would turn the dialog into a modal "Done." box
            // that waits for the user; the dialog goes when the work has.
            const bool goOn = dialog.Update(static_cast<int>(std::min(done, count - 1)),
                                            ProgressText(doing, std::min(done + 1, count), count));
            if (!goOn) {
                const std::lock_guard guard(run.lock);
                run.cancel = true;
            }
            wxTheApp->Yield(true);
            std::unique_lock guard(run.lock);
            run.changed.wait_for(guard, kRepaintInterval, [&] { return run.finished; });
        }
    }
    worker.thread.join();
    if (run.error) std::rethrow_exception(run.error);
}

}  // namespace vimbrel
