// How long the program keeps the user waiting at its end: Esc until the
// window has ended (its threads stopped and its sockets closed), and the
// wall time of a command-line run against its --wait, each in a private
// network of one link and three simulated cameras. Runs as root under a
// display.
//
//   vimbrel_exit_bench [ROUNDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/init.h>

#include "app/search_device_dlg.h"
#include "app/vimbrel_app.h"
#include "tools/lab/lab_network.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

void Pump() {
    wxTheApp->Yield(true);
    wxTheApp->ProcessPendingEvents();
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Opens the window, waits for its three rows, presses Esc.
double EscapeMilliseconds() {
    vimbrel::DeviceSession session;  // outlives the window
    auto* window = new vimbrel::CSearchDeviceDlg(session);  // deleted by Destroy
    window->Start();
    window->Show();
    const auto giveUp = Clock::now() + 10s;
    while (window->DeviceList().GetItemCount() < 3 && Clock::now() < giveUp) {
        Pump();
        std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_for(300ms);  // the search's broadcast answered too; the wait is on
    Pump();
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = WXK_ESCAPE;
    const auto start = Clock::now();
    window->GetEventHandler()->ProcessEvent(key);
    const double ms = window->ExitDone() && window->ReceiveThreadExited()
                          ? Milliseconds(Clock::now() - start)
                          : -1;
    window->Destroy();
    Pump();
    return ms;
}

// Runs vimbrel-cli with `args` (in this thread's network namespace), its
// output thrown away; the wall time in seconds, negative on failure.
double CliSeconds(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string program = VIMBREL_CLI;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (!vimbrel::lab::IsRoot()) {
        std::fprintf(stderr, "exit benchmark: needs root (private network namespaces)\n");
        return 1;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    wxApp::SetInstance(new wxApp);  // the toolkit owns it
    int toolkitArgc = 1;
    if (!wxEntryStart(toolkitArgc, argv)) return 2;
    wxTheApp->CallOnInit();
    vimbrel::SetUpApplication(*wxTheApp, vimbrel::UiLanguage::kChinese, {});

    vimbrel::lab::LabNetwork net;
    const int link = net.AddLink("192.168.2.100/24");
    for (int i = 1; i <= 3; ++i) {
        vimbrel::lab::CameraConfig camera;
        camera.ip = "192.168.2." + std::to_string(20 + i);
        camera.mac = "00:1A:2B:3C:4D:0" + std::to_string(i);
        camera.serial = "SN-" + std::to_string(i);
        net.AddCamera(link, camera);
    }
    net.EnterComputer();
    vimbrel::lab::RequirePrivateNetwork();

    bool ok = true;
    for (int round = 0; round < rounds; ++round) {
        const double ms = EscapeMilliseconds();
        ok = ok && ms >= 0;
        std::printf("window  Esc -> ended            %8.1f ms\n", ms);
        std::fflush(stdout);
    }
    for (int round = 0; round < rounds; ++round) {
        const double search = CliSeconds({"search", "--wait", "2"});
        const double motor = CliSeconds({"motor-start", "--serial", "SN-2", "--wait", "1"});
        ok = ok && search > 0 && motor > 0;
        std::printf(
            "cli     search --wait 2         %8.2f s\n"
            "cli     motor-start --wait 1    %8.2f s\n",
            search, motor);
        std::fflush(stdout);
    }
    net.LeaveComputer();
    wxEntryCleanup();
    return ok ? 0 : 3;
}
