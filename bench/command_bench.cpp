// How long a batch of 50 commands takes (motor start, one per camera, as the
// window and the command line send a batch) with 1, 2 and 4 local addresses
// on the cameras' link: a laptop with Ethernet, Wi-Fi and virtual adapters.
// One simulator plays the 50 cameras; its log confirms every command
// arrived. Runs as root, in a private network.
//
//   vimbrel_command_bench [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "protocol/command_sender.h"
#include "tools/lab/lab_network.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDevices = 50;

std::string Serial(int device) {
    char text[16];
    std::snprintf(text, sizeof text, "SN0001-%04d", device + 1);
    return text;
}

vimbrel::protocol::SerialIdentity Identity(const std::string& serial) {
    return *vimbrel::protocol::CheckSerialIdentity(std::wstring(serial.begin(), serial.end()));
}

// Whether every camera logged a motor start after the first `seen` events.
bool AllArrived(const vimbrel::lab::LabNetwork& net, std::size_t& seen) {
    const auto giveUp = Clock::now() + std::chrono::seconds(3);
    for (;;) {
        const std::vector<std::string> events = net.CameraEvents(0);
        std::set<std::string> started;
        for (std::size_t i = seen; i < events.size(); ++i)
            if (events[i].find(" motor-start") != std::string::npos)
                started.insert(events[i].substr(0, events[i].find(' ')));
        if (started.size() == kDevices || Clock::now() >= giveUp) {
            seen = events.size();
            return started.size() == kDevices;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!vimbrel::lab::IsRoot()) {
        std::fprintf(stderr, "command benchmark: needs root (private network namespaces)\n");
        return 1;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    vimbrel::lab::LabNetwork net;
    const int link = net.AddLink("192.168.2.100/24");
    vimbrel::lab::CameraConfig cameras;
    cameras.ip = "192.168.2.200";
    cameras.count = kDevices;
    net.AddCamera(link, cameras);
    net.EnterComputer();
    vimbrel::lab::RequirePrivateNetwork();

    bool ok = true;
    std::size_t seen = 0;
    int addresses = 1;
    for (const int wanted : {1, 2, 4}) {
        for (; addresses < wanted; ++addresses)
            net.RunInComputer({"ip", "addr", "add",
                               "192.168.2." + std::to_string(100 + addresses) + "/24", "dev",
                               "br0"});
        vimbrel::protocol::LocalSockets sockets;
        for (int round = 0; round < rounds; ++round) {
            const auto start = Clock::now();
            for (int device = 0; device < kDevices; ++device)
                vimbrel::protocol::SendCommand(sockets, vimbrel::protocol::CMD_MOTOR_START,
                                               Identity(Serial(device)));
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            const bool arrived = AllArrived(net, seen);
            ok = ok && arrived;
            std::printf("%d local address%s  50 commands  %5.2f s  %s\n", wanted,
                        wanted == 1 ? "  " : "es", seconds,
                        arrived ? "all arrived" : "NOT ALL ARRIVED");
            std::fflush(stdout);
        }
    }
    net.LeaveComputer();
    return ok ? 0 : 3;
}
