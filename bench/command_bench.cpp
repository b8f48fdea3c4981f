// How long a batch of commands takes on the wire: batches of 50, 300 and
// 1000 motor starts, one per camera, through the device session as the
// window and the command line run them. One simulator plays the 1000
// cameras; its log gives the time from the batch's first datagram to its
// last as the cameras received them, the shortest time between one camera's
// multicast and its broadcast, and whether every camera got both copies.
// Then the same from vimbrel-cli: a motor start to all 1000 after its search,
// and a reboot of 300 named by serial number. Runs as root, in a private
// network.
//
//   vimbrel_command_bench [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "protocol/command_sender.h"
#include "protocol/command_sweep.h"
#include "session/device_session.h"
#include "tools/lab/lab_network.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCameras = 1000;
constexpr std::size_t kSerialOffset = 248;

std::wstring Serial(int camera) {
    wchar_t text[16];
    std::swprintf(text, 16, L"SN0001-%04d", camera + 1);
    return text;
}

class Quiet final : public vimbrel::PlanProgress {
public:
    void Done(std::size_t, const vimbrel::TargetOutcome&) override {}
};

struct Wire {
    double firstToLast = 0;  // seconds
    double shortestPair = 1e9;  // seconds between a camera's two copies
    bool complete = false;  // each camera once by multicast, once by broadcast, in that order
    std::size_t arrived = 0;  // datagrams of the command
};

// The commands (motor start unless told) the simulator logged after the
// first `seen` datagrams, once `count` cameras' two copies are in (or 5 s
// have passed).
Wire Measure(const vimbrel::lab::LabNetwork& net, std::size_t& seen, int count,
             std::uint8_t command = 106) {
    const auto giveUp = Clock::now() + std::chrono::seconds(5);
    std::vector<vimbrel::lab::LoggedDatagram> log;
    for (;;) {
        log = net.CameraLog(0);
        std::size_t ofCommand = 0;
        for (std::size_t i = seen; i < log.size(); ++i)
            ofCommand += log[i].bytes.size() > 4 && log[i].bytes[0] == command ? 1 : 0;
        if (ofCommand >= 2 * static_cast<std::size_t>(count) || Clock::now() >= giveUp) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    Wire wire;
    std::map<std::string, std::vector<const vimbrel::lab::LoggedDatagram*>> byCamera;
    double first = 1e300, last = 0;
    for (std::size_t i = seen; i < log.size(); ++i) {
        const auto& d = log[i];
        if (d.bytes.size() < kSerialOffset + 12 || d.bytes[0] != command || d.bytes[1] != 0)
            continue;
        ++wire.arrived;
        byCamera[std::string(d.bytes.begin() + kSerialOffset, d.bytes.begin() + kSerialOffset + 11)]
            .push_back(&d);
        first = std::min(first, d.time);
        last = std::max(last, d.time);
    }
    seen = log.size();
    wire.firstToLast = last - first;
    wire.complete = byCamera.size() == static_cast<std::size_t>(count);
    for (const auto& [serial, copies] : byCamera) {
        wire.complete = wire.complete && copies.size() == 2 && copies[0]->kind == "multicast" &&
                        copies[1]->kind == "broadcast";
        if (copies.size() == 2)
            wire.shortestPair = std::min(wire.shortestPair, copies[1]->time - copies[0]->time);
    }
    return wire;
}

}  // namespace

int main(int argc, char** argv) {
    if (!vimbrel::lab::IsRoot()) {
        std::fprintf(stderr, "command benchmark: needs root (private network namespaces)\n");
        return 1;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    vimbrel::lab::LabNetwork net;
    const int link = net.AddLink("10.7.0.100/16");
    vimbrel::lab::CameraConfig cameras;
    cameras.ip = "10.7.1.1";
    cameras.count = kCameras;
    net.AddCamera(link, cameras);
    net.EnterComputer();
    vimbrel::lab::RequirePrivateNetwork();

    bool ok = true;
    std::size_t seen = 0;
    vimbrel::DeviceSession session;
    session.Start(nullptr);
    for (const int count : {50, 300, 1000}) {
        std::vector<vimbrel::PlanDevice> devices;
        for (int i = 0; i < count; ++i) devices.push_back({Serial(i), L""});
        const vimbrel::CommandPlan plan =
            vimbrel::PlanCommand(vimbrel::protocol::CMD_MOTOR_START, std::move(devices));
        for (int round = 0; round < rounds; ++round) {
            Quiet quiet;
            const auto start = Clock::now();
            session.RunCommand(plan, quiet);
            const double run = std::chrono::duration<double>(Clock::now() - start).count();
            const Wire wire = Measure(net, seen, count);
            ok = ok && wire.complete;
            std::printf(
                "%4d commands  first to last datagram %6.3f s  run %6.3f s  shortest pair %5.1f "
                "ms  %s\n",
                count, wire.firstToLast, run, wire.shortestPair * 1000,
                wire.complete ? "every camera both copies in order" : "NOT COMPLETE");
            std::fflush(stdout);
        }
    }
    session.Stop();

    // The same from the command line: a motor start to all 1000 cameras, then
    // a reboot of 300 of them by serial number, each after its search.
    const auto cli = [&](const char* what, std::vector<std::string> command, int count,
                         std::uint8_t code) {
        const std::string said = net.RunInComputer(command);
        const Wire wire = Measure(net, seen, count, code);
        ok = ok && wire.complete;
        if (!wire.complete) std::printf("%s", said.c_str());
        std::printf(
            "vimbrel-cli %-18s first to last datagram %6.3f s  shortest pair %5.1f ms  %s\n", what,
            wire.firstToLast, wire.shortestPair * 1000,
            wire.complete ? "every camera both copies in order" : "NOT COMPLETE");
        std::fflush(stdout);
    };
    cli("motor-start --all", {VIMBREL_CLI, "motor-start", "--all", "--wait", "2"}, kCameras, 106);
    std::vector<std::string> reboot{VIMBREL_CLI, "reboot", "--wait", "2"};
    for (int i = 0; i < 300; ++i) {
        const std::wstring serial = Serial(i);
        reboot.insert(reboot.end(), {"--serial", std::string(serial.begin(), serial.end())});
    }
    cli("reboot of 300", reboot, 300, 103);

    // The pace: 1000 commands at several paces through a link of 100 Mbit/s
    // whose switch port holds 32 KB (the bridge's port to the cameras).
    const std::string links = net.RunInComputer({"ip", "-o", "link", "show", "type", "veth"});
    const std::size_t name = links.find(": ") + 2;
    const std::string port = links.substr(name, links.find('@', name) - name);
    // Its queue holds less than the sending socket's buffer, so it drops what
    // goes past it, as a switch does, before the socket would hold back.
    net.RunInComputer({"tc", "qdisc", "replace", "dev", port, "root", "tbf", "rate", "100mbit",
                       "burst", "16kb", "limit", "32kb"});
    std::vector<vimbrel::protocol::DevicePacket> packets;
    for (int i = 0; i < kCameras; ++i)
        packets.push_back(vimbrel::protocol::MakeCommandPacket(
            vimbrel::protocol::CMD_MOTOR_START,
            *vimbrel::protocol::CheckSerialIdentity(Serial(i))));
    vimbrel::protocol::LocalSockets sockets;
    struct Pace {
        const char* name;
        vimbrel::protocol::SweepPace pace;
    };
    using std::chrono::milliseconds;
    for (const Pace& p : {Pace{"one burst          ", {SIZE_MAX, milliseconds(0)}},
                          Pace{"256 datagrams, 3 ms", {256, milliseconds(3)}},
                          Pace{"64 datagrams, 1 ms ", {64, milliseconds(1)}},
                          Pace{"64 datagrams, 3 ms ", {64, milliseconds(3)}},
                          Pace{"32 datagrams, 3 ms ", {32, milliseconds(3)}}}) {
        vimbrel::protocol::SendSweep(
            sockets, sockets.TakeSendTurn(), packets,
            [](milliseconds pause) { std::this_thread::sleep_for(pause); }, nullptr, nullptr,
            p.pace);
        const Wire wire = Measure(net, seen, kCameras, 106);
        std::printf("100 Mbit/s, 32 KB port: %s  first to last %6.3f s  arrived %4zu of %d\n",
                    p.name, wire.firstToLast, wire.arrived, 2 * kCameras);
        std::fflush(stdout);
    }
    net.LeaveComputer();
    return ok ? 0 : 3;
}
