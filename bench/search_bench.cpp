// How a search lists N cameras: how many of the N are listed, the time from
// the press of "搜索" to the last row on screen, the time from the cameras'
// last first answer to the last row, and the program's resident memory with
// the list full. Runs as root under a display (xvfb-run), in a private
// network: one simulator playing N cameras on the computer's one link,
// answering all at once or spread over half a second.
//
//   vimbrel_search_bench [N...]      (default 1 100 1000 3000)
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
#include "bench/process_figures.h"
#include "res/control_ids.h"
#include "tools/lab/lab_network.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using vimbrel::bench::WallSeconds;

void Pump() {
    wxTheApp->Yield(true);
    wxTheApp->ProcessPendingEvents();
}

struct RowWatch {
    double lastRowWall = 0;  // wall-clock seconds
    long rows = 0;
};

// Pumps events until the list holds `expected` rows or stops growing for
// `quiet`; gives the wall-clock time of the last new row and the count.
RowWatch WatchRows(vimbrel::CSearchDeviceDlg& window, long expected, Clock::duration quiet) {
    RowWatch watch{WallSeconds(), window.DeviceList().GetItemCount()};
    Clock::time_point lastRow = Clock::now();
    while (watch.rows < expected && Clock::now() - lastRow < quiet) {
        Pump();
        const long now = window.DeviceList().GetItemCount();
        if (now != watch.rows) {
            watch.rows = now;
            watch.lastRowWall = WallSeconds();
            lastRow = Clock::now();
        }
        std::this_thread::sleep_for(1ms);
    }
    return watch;
}

// The end of the simulator's first answering round after `since`: each
// search reaches it twice (multicast, broadcast), and only the first round
// can bring new rows.
double FirstRoundEnd(const vimbrel::lab::LabNetwork& net, int camera, double since) {
    for (int tries = 0; tries < 200; ++tries) {
        for (double t : net.EventTimes(camera, "answered"))
            if (t > since) return t;
        std::this_thread::sleep_for(10ms);
    }
    return -1;
}

void Measure(int cameras, int spreadMs, int rounds) {
    vimbrel::lab::LabNetwork net;
    const int link = net.AddLink("192.168.2.100/22");
    vimbrel::lab::CameraConfig config;
    config.ip = "192.168.2.1";
    config.count = cameras;
    config.extraArgs = {"--reply-spread-ms", std::to_string(spreadMs)};
    const int camera = net.AddCamera(link, config);
    net.EnterComputer();
    vimbrel::lab::RequirePrivateNetwork();

    vimbrel::DeviceSession session;  // outlives the window
    auto* window = new vimbrel::CSearchDeviceDlg(session);  // deleted by Destroy
    window->Start();
    window->Show();
    WatchRows(*window, cameras, 3s);  // the start-up searches settle

    for (int round = 0; round < rounds; ++round) {
        wxCommandEvent click(wxEVT_BUTTON, vimbrel::ids::kSearch);
        const double clickWall = WallSeconds();
        window->GetEventHandler()->ProcessEvent(click);
        const RowWatch watch = WatchRows(*window, cameras, 2s);
        const double answered = FirstRoundEnd(net, camera, clickWall);
        std::printf(
            "%6d cameras  answers over %4d ms  round %d  listed %5ld of %d  "
            "last row after %7.1f ms from the press, %7.1f ms from the last answer  "
            "RSS %.0f MB\n",
            cameras, spreadMs, round + 1, watch.rows, cameras,
            (watch.lastRowWall - clickWall) * 1000, (watch.lastRowWall - answered) * 1000,
            vimbrel::bench::MemoryMB());
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
    if (counts.empty()) counts = {1, 100, 1000, 3000};

    wxApp::SetInstance(new wxApp);  // the toolkit owns it
    int toolkitArgc = 1;  // the camera counts are ours, not the toolkit's
    if (!wxEntryStart(toolkitArgc, argv)) return 2;
    wxTheApp->CallOnInit();
    vimbrel::SetUpApplication(*wxTheApp, vimbrel::UiLanguage::kChinese, {});
    // All answers at once, then spread over 0.5 s as a real network would.
    for (int spreadMs : {0, 500})
        for (int n : counts) Measure(n, spreadMs, 3);
    std::printf("peak RSS %.0f MB\n", vimbrel::bench::MemoryMB("VmHWM"));
    wxEntryCleanup();
    return 0;
}
