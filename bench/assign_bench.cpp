// How long an address assignment takes for 50, 300 and 1000 cameras through
// the device session, as the window and the command line run it, by both
// ARP ways (a raw request of our own, the kernel's neighbour resolution):
//   - the counter assignment (RunAssignment) with every candidate free, and
//     with every other candidate held by a host that answers ARP. Its
//     counter runs in the last octet, so one run gives out at most the 253
//     addresses .1 to .254 less the gateway: the cameras beyond get none;
//   - the address plan (every camera's own new address, probed as one batch,
//     then sent) with every address free, and with every other one taken.
// Each run probes for real and sends to a simulator playing the 1000
// cameras; its log gives the time from the run's start to the last
// set-network the cameras received, and confirms that each camera got its
// address. Runs as root, in a private network.
//
//   vimbrel_assign_bench [raw|kernel]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "operations/address_plan.h"
#include "operations/address_rules.h"
#include "platform/arp_probe.h"
#include "platform/ipv4_text.h"
#include "protocol/command_sender.h"
#include "session/device_session.h"
#include "tools/lab/lab_network.h"

namespace {

using Clock = std::chrono::steady_clock;
using vimbrel::platform::ArpProbeMode;

constexpr int kCameras = 1000;
constexpr std::uint32_t kMask = 0xFFFF0000;  // 255.255.0.0
constexpr std::uint32_t kGateway = 0x0A0800FE;  // 10.8.0.254
// The counter's runs: all free from 10.8.1.1; every other taken from 10.8.2.1.
constexpr std::uint32_t kFreeStart = 0x0A080101, kTakenStart = 0x0A080201;
// The plan's addresses: all free from 10.8.16.0; every other taken from 10.8.32.0.
constexpr std::uint32_t kPlanFree = 0x0A081000, kPlanTaken = 0x0A082000;

std::string Text(std::uint32_t address) { return vimbrel::platform::FormatIPv4(address); }

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::vector<vimbrel::PlanDevice> Devices(int count) {
    std::vector<vimbrel::PlanDevice> devices;
    for (int i = 0; i < count; ++i) {
        char serial[24], mac[32];
        std::snprintf(serial, sizeof serial, "SN0001-%04d", i + 1);
        const int value = 1 + i;
        std::snprintf(mac, sizeof mac, "00:1A:2B:3C:%02X:%02X", 0x4D + (value >> 8), value & 0xFF);
        devices.push_back({Wide(serial), Wide(mac)});
    }
    return devices;
}

class Quiet final : public vimbrel::PlanProgress {
public:
    void Done(std::size_t, const vimbrel::TargetOutcome&) override {}
};

struct Run {
    double toLastSent = 0;  // seconds from the start to the last set-network received
    std::vector<std::string> given;  // per camera; empty: nothing
};

// Whether each camera got a set-network with its address (and nothing else
// did) after the first `seen` datagrams; the time of the last one, relative
// to `start` (CLOCK_REALTIME seconds).
bool Delivered(const vimbrel::lab::LabNetwork& net, std::size_t& seen, double start, Run& run) {
    std::set<std::string> wanted;
    for (std::size_t i = 0; i < run.given.size(); ++i) {
        if (run.given[i].empty()) continue;
        char line[80];
        std::snprintf(line, sizeof line, "SN0001-%04zu set-network %s/16", i + 1,
                      run.given[i].c_str());
        wanted.insert(line);
    }
    const auto giveUp = Clock::now() + std::chrono::seconds(5);
    std::set<std::string> arrived;
    do {
        const auto events = net.CameraEvents(0);
        arrived.clear();
        for (std::size_t i = std::min(seen, events.size()); i < events.size(); ++i)
            if (events[i].find(" set-network ") != std::string::npos) arrived.insert(events[i]);
        if (arrived == wanted) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (Clock::now() < giveUp);
    seen = net.CameraEvents(0).size();
    double last = start;
    for (const auto& datagram : net.CameraLog(0))
        if (datagram.bytes.size() > 4 && datagram.bytes[0] == 102 && datagram.bytes[1] == 0)
            last = std::max(last, datagram.time);
    run.toLastSent = last - start;
    return arrived == wanted;
}

double Now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

Run Counter(vimbrel::DeviceSession& session, vimbrel::platform::ArpProbe& probe, int count,
            std::uint32_t start) {
    Run run;
    Quiet quiet;
    const vimbrel::MacPlan plan = vimbrel::PlanByMac(Devices(count));
    const auto outcomes = session.RunAssignment(plan, {start, kMask, kGateway}, probe, quiet);
    for (const auto& outcome : outcomes)
        run.given.push_back(outcome.outcome == vimbrel::Outcome::kSent ? Text(outcome.address)
                                                                       : "");
    return run;
}

// The address plan's run: every new address probed as one batch, then the
// free ones sent.
Run Plan(vimbrel::DeviceSession& session, vimbrel::platform::ArpProbe& probe, int count,
         std::uint32_t first);

// What every run must give: the free candidates in counter order, or the
// plan's free addresses.
std::vector<std::string> ExpectedCounter(int count, std::uint32_t start, bool everyOtherTaken) {
    std::vector<std::string> given;
    const auto candidates = vimbrel::AssignableCandidates(start, kMask, kGateway);
    for (std::size_t i = 0; i < candidates.size() && given.size() < std::size_t(count); ++i)
        if (!everyOtherTaken || i % 2 == 1) given.push_back(Text(candidates[i]));
    given.resize(static_cast<std::size_t>(count));
    return given;
}

std::vector<std::string> ExpectedPlan(int count, std::uint32_t first, bool everyOtherTaken) {
    std::vector<std::string> given;
    for (int i = 0; i < count; ++i)
        given.push_back(everyOtherTaken && i % 2 == 0 ? "" : Text(first + std::uint32_t(i)));
    return given;
}

}  // namespace

int main(int argc, char** argv) {
    if (!vimbrel::lab::IsRoot()) {
        std::fprintf(stderr, "assignment benchmark: needs root (private network namespaces)\n");
        return 1;
    }
    std::vector<ArpProbeMode> modes{ArpProbeMode::RawRequest, ArpProbeMode::KernelNeighbour};
    if (argc > 1 && std::strcmp(argv[1], "raw") == 0) modes = {ArpProbeMode::RawRequest};
    if (argc > 1 && std::strcmp(argv[1], "kernel") == 0) modes = {ArpProbeMode::KernelNeighbour};

    vimbrel::lab::LabNetwork net;
    const int link = net.AddLink("10.8.0.100/16");
    vimbrel::lab::CameraConfig cameras;
    cameras.ip = "10.8.200.1";  // outside every candidate; the namespace holds only this one
    cameras.count = kCameras;
    net.AddCamera(link, cameras);
    // One host answers ARP for every other candidate of the counter's taken
    // run and every other address of the plan's taken run.
    const auto counterCandidates = vimbrel::AssignableCandidates(kTakenStart, kMask, kGateway);
    const std::string host = net.AddHost(link, Text(counterCandidates[0]) + "/16");
    {
        const std::string batch = "/tmp/vimbrel-assign-bench-" + std::to_string(getpid());
        std::ofstream file(batch);
        for (std::size_t i = 2; i < counterCandidates.size(); i += 2)
            file << "addr add " << Text(counterCandidates[i]) << "/16 dev eth0\n";
        for (int i = 0; i < kCameras; i += 2)
            file << "addr add " << Text(kPlanTaken + std::uint32_t(i)) << "/16 dev eth0\n";
        file.close();
        net.RunInHost(host, {"ip", "-batch", batch});
        std::remove(batch.c_str());
    }
    net.EnterComputer();
    vimbrel::lab::RequirePrivateNetwork();

    vimbrel::DeviceSession session;
    session.Start(nullptr);
    std::size_t seen = 0;
    bool allRight = true;
    struct Case {
        const char* what;
        bool counter;
        bool everyOtherTaken;
    };
    const Case cases[] = {{"counter, all free      ", true, false},
                          {"counter, every other taken", true, true},
                          {"plan, all free         ", false, false},
                          {"plan, every other taken", false, true}};
    for (const ArpProbeMode mode : modes) {
        const auto probe = vimbrel::platform::MakeArpProbe(mode);
        for (const Case& c : cases) {
            for (const int count : {50, 300, 1000}) {
                net.RunInComputer({"ip", "-4", "neigh", "flush", "all"});
                const double start = Now();
                const auto began = Clock::now();
                const std::uint32_t first = c.counter
                                                ? (c.everyOtherTaken ? kTakenStart : kFreeStart)
                                                : (c.everyOtherTaken ? kPlanTaken : kPlanFree);
                Run run = c.counter ? Counter(session, *probe, count, first)
                                    : Plan(session, *probe, count, first);
                const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
                const auto expected = c.counter ? ExpectedCounter(count, first, c.everyOtherTaken)
                                                : ExpectedPlan(count, first, c.everyOtherTaken);
                const bool same = run.given == expected;
                const bool delivered = Delivered(net, seen, start, run);
                allRight = allRight && same && delivered;
                const auto given = static_cast<std::size_t>(
                    std::count_if(run.given.begin(), run.given.end(),
                                  [](const std::string& a) { return !a.empty(); }));
                std::printf(
                    "%s  %-27s %4d cameras  %4zu given  run %6.2f s  last set-network "
                    "%6.2f s  %s, %s\n",
                    mode == ArpProbeMode::RawRequest ? "raw   " : "kernel", c.what, count, given,
                    seconds, run.toLastSent, same ? "same addresses" : "DIFFERENT ADDRESSES",
                    delivered ? "all delivered" : "NOT ALL DELIVERED");
                std::fflush(stdout);
            }
        }
    }
    session.Stop();
    net.LeaveComputer();
    return allRight ? 0 : 3;
}

namespace {

Run Plan(vimbrel::DeviceSession& session, vimbrel::platform::ArpProbe& probe, int count,
         std::uint32_t first) {
    Run run;
    const vimbrel::MacPlan plan = vimbrel::PlanByMac(Devices(count));
    std::vector<vimbrel::PlanTarget> targets;
    for (int i = 0; i < count; ++i) targets.push_back({first + std::uint32_t(i), L""});
    const std::vector<bool> taken = vimbrel::NewAddressesTaken(targets, {}, probe);
    const vimbrel::DeviceSession::SendTurn turn = session.TakeSendTurn();
    std::vector<vimbrel::DeviceSession::NetworkSend> sends;
    for (int i = 0; i < count; ++i) {
        if (taken[std::size_t(i)]) {
            run.given.push_back("");
            continue;
        }
        vimbrel::protocol::NetConfig block = vimbrel::protocol::MakeNetConfig(kMask, kGateway);
        vimbrel::protocol::SetNetConfigAddress(block, Text(targets[std::size_t(i)].newIp).c_str());
        sends.push_back({block, plan.targets[std::size_t(i)].identity});
        run.given.push_back(Text(targets[std::size_t(i)].newIp));
    }
    Quiet quiet;
    session.RunSetNetwork(turn, sends, quiet);
    return run;
}

}  // namespace
