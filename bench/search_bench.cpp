// How long one search takes to list N cameras, from the press of "搜索" to
// the last row on screen, and how many of the N are listed. Runs as root
// under a display (xvfb-run), in a private network: one simulator playing N
// cameras on the computer's one link, answering all at once or spread out.
//
//   vimbrel_search_bench [N...]      (default 1 100 1000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <wx/app.h>
#include <wx/init.h>

#include "app/search_device_dlg.h"
#include "app/vimbrel_app.h"
#include "res/control_ids.h"
#include "tools/lab/lab_network.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

void Pump() {
    wxTheApp->Yield(true);
    wxTheApp->ProcessPendingEvents();
}

// Pumps events until the list holds `expected` rows or stops growing for
// `quiet`; gives the time of the last new row after `start` and the count.
std::pair<double, long> WatchRows(vimbrel::CSearchDeviceDlg& window, Clock::time_point start,
                                  long expected, Clock::duration quiet) {
    long rows = window.DeviceList().GetItemCount();
    Clock::time_point lastRow = start;
    while (rows < expected && Clock::now() - lastRow < quiet) {
        Pump();
        const long now = window.DeviceList().GetItemCount();
        if (now != rows) {
            rows = now;
            lastRow = Clock::now();
        }
        std::this_thread::sleep_for(1ms);
    }
    return {std::chrono::duration<double, std::milli>(lastRow - start).count(), rows};
}

void Measure(int cameras, int spreadMs, int rounds) {
    vimbrel::lab::LabNetwork net;
    const int link = net.AddLink("192.168.2.100/22");
    vimbrel::lab::CameraConfig config;
    config.ip = "192.168.2.1";
    config.count = cameras;
    config.extraArgs = {"--reply-spread-ms", std::to_string(spreadMs)};
    net.AddCamera(link, config);
    net.EnterComputer();
    vimbrel::lab::RequirePrivateNetwork();

    auto* window = new vimbrel::CSearchDeviceDlg;  // deleted by Destroy
    window->Show();
    WatchRows(*window, Clock::now(), cameras, 3s);  // the start-up searches settle

    for (int round = 0; round < rounds; ++round) {
        wxCommandEvent click(wxEVT_BUTTON, vimbrel::ids::kSearch);
        const auto start = Clock::now();
        window->GetEventHandler()->ProcessEvent(click);
        const auto [ms, rows] = WatchRows(*window, start, cameras, 2s);
        std::printf("%6d cameras  answers over %4d ms  round %d  last row after %8.1f ms  listed %ld of %d\n",
                    cameras, spreadMs, round + 1, ms, rows, cameras);
        std::fflush(stdout);
    }
    window->Close(true);
    window->Destroy();
    Pump();
    net.LeaveComputer();
}

}  // namespace

int main(int argc, char** argv) {
    if (!vimbrel::lab::IsRoot()) {
        std::fprintf(stderr, "search benchmark: needs root (private network namespaces)\n");
        return 1;
    }
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {1, 100, 1000};

    wxApp::SetInstance(new wxApp);  // the toolkit owns it
    int toolkitArgc = 1;  // the camera counts are ours, not the toolkit's
    if (!wxEntryStart(toolkitArgc, argv)) return 2;
    wxTheApp->CallOnInit();
    vimbrel::SetUpApplication(*wxTheApp);
    // All answers at once, then spread over 0.5 s as a real network would.
    for (int spreadMs : {0, 500})
        for (int n : counts) Measure(n, spreadMs, 3);
    wxEntryCleanup();
    return 0;
}
