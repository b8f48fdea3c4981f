// How long the automatic IP assignment takes for 50 devices on a /24 where
// 10 addresses of the range are held by hosts that answer ARP: one candidate
// at a time (AddressCounter, as the window did it) against the assignment
// that probes ahead (AssignAddresses), on the same network in the same run.
// Each run probes for real and sends the set-network commands to a simulator
// playing the 50 cameras; the simulator's log confirms what arrived. Runs as
// root, in a private network.
//
//   vimbrel_assign_bench [--no-sequential]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "operations/address_planner.h"
#include "operations/address_rules.h"
#include "platform/arp_probe.h"
#include "platform/ipv4_text.h"
#include "protocol/command_sender.h"
#include "tests/support/address_counter.h"
#include "tools/lab/lab_network.h"

namespace {

using Clock = std::chrono::steady_clock;
using vimbrel::platform::ArpProbeMode;

constexpr int kDevices = 50;
constexpr std::uint32_t kStart = 0xC0A8020A;  // 192.168.2.10
constexpr std::uint32_t kMask = 0xFFFFFF00;  // 255.255.255.0
constexpr std::uint32_t kGateway = 0xC0A80201;  // 192.168.2.1
// The taken hosts, among the 60 candidates .10 to .69.
const int kTakenLastOctets[] = {10, 13, 17, 22, 28, 35, 43, 52, 60, 66};

struct Outcome {
    double seconds = 0;
    std::vector<std::string> given;  // per device; empty: nothing
};

// The 50 free candidates in counter order: what every run must give.
std::vector<std::string> Expected() {
    std::vector<std::string> given;
    for (int last = 10; given.size() < kDevices; ++last) {
        bool taken = false;
        for (int t : kTakenLastOctets) taken = taken || t == last;
        if (!taken) given.push_back("192.168.2." + std::to_string(last));
    }
    return given;
}

std::vector<std::string> CameraMacs() {
    std::vector<std::string> macs;
    for (int i = 0; i < kDevices; ++i) {
        char text[18];
        std::snprintf(text, sizeof text, "00:1A:2B:3C:4D:%02X", 1 + i);
        macs.push_back(text);
    }
    return macs;
}

// The window's loop before: each device probes in turn, then is sent to.
Outcome Sequential(vimbrel::platform::ArpProbe& probe, vimbrel::protocol::LocalSockets& sockets,
                   const std::vector<std::string>& macs) {
    Outcome outcome;
    const auto start = Clock::now();
    vimbrel::AddressCounter counter(kStart, kMask, kGateway);
    vimbrel::protocol::NetConfig block = vimbrel::protocol::MakeNetConfig(kMask, kGateway);
    for (const std::string& mac : macs) {
        const auto address = counter.NextFreeAddress(probe);
        outcome.given.push_back(address.value_or(""));
        if (!address) continue;
        vimbrel::protocol::SetNetConfigAddress(block, address->c_str());
        vimbrel::protocol::SendSetNetwork(sockets, block,
                                          *vimbrel::protocol::CheckMacIdentity(mac));
    }
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return outcome;
}

Outcome Ahead(vimbrel::platform::ArpProbe& probe, vimbrel::protocol::LocalSockets& sockets,
              const std::vector<std::string>& macs) {
    Outcome outcome;
    outcome.given.resize(macs.size());
    const auto start = Clock::now();
    vimbrel::protocol::NetConfig block = vimbrel::protocol::MakeNetConfig(kMask, kGateway);
    vimbrel::AssignAddresses(
        vimbrel::AssignableCandidates(kStart, kMask, kGateway), macs.size(), probe,
        [&](std::size_t device, std::uint32_t address) {
            outcome.given[device] = vimbrel::platform::FormatIPv4(address);
            vimbrel::protocol::SetNetConfigAddress(block, outcome.given[device].c_str());
            vimbrel::protocol::SendSetNetwork(sockets, block,
                                              *vimbrel::protocol::CheckMacIdentity(macs[device]));
        },
        [] { return true; });
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return outcome;
}

// Whether the simulator got each device's command with its address, in
// device order (each command arrives twice: by multicast and by broadcast).
// Looks at the events after the first `seen` and moves `seen` past them.
bool Delivered(const vimbrel::lab::LabNetwork& net, std::size_t& seen, const Outcome& outcome) {
    std::vector<std::string> wanted;
    for (std::size_t i = 0; i < outcome.given.size(); ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "SN0001-%04zu set-network %s/24", i + 1,
                      outcome.given[i].c_str());
        wanted.push_back(line);
    }
    std::vector<std::string> arrived;
    const auto giveUp = Clock::now() + std::chrono::seconds(3);
    do {
        arrived.clear();
        const auto events = net.CameraEvents(0);
        // The broadcast copy of the previous run's last command may come late.
        std::string previous = seen > 0 ? events[seen - 1] : "";
        for (std::size_t i = seen; i < events.size(); ++i)
            if (events[i].find(" set-network ") != std::string::npos && events[i] != previous)
                arrived.push_back(previous = events[i]);
        if (arrived == wanted) {
            seen = events.size();
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (Clock::now() < giveUp);
    seen = net.CameraEvents(0).size();
    return false;
}

const char* ModeName(ArpProbeMode mode) {
    return mode == ArpProbeMode::RawRequest ? "raw ARP request " : "kernel neighbour";
}

}  // namespace

int main(int argc, char** argv) {
    if (!vimbrel::lab::IsRoot()) {
        std::fprintf(stderr, "assignment benchmark: needs root (private network namespaces)\n");
        return 1;
    }
    const bool sequential = !(argc > 1 && std::strcmp(argv[1], "--no-sequential") == 0);

    vimbrel::lab::LabNetwork net;
    const int link = net.AddLink("192.168.2.100/24");
    vimbrel::lab::CameraConfig cameras;
    cameras.ip = "192.168.2.200";  // outside the candidates; the namespace holds only this one
    cameras.count = kDevices;
    net.AddCamera(link, cameras);
    for (int last : kTakenLastOctets) net.AddHost(link, "192.168.2." + std::to_string(last));
    net.EnterComputer();
    vimbrel::lab::RequirePrivateNetwork();

    const std::vector<std::string> macs = CameraMacs();
    std::size_t seen = 0;
    const std::vector<std::string> expected = Expected();
    bool allSame = true;
    vimbrel::protocol::LocalSockets sockets;

    auto report = [&](const char* how, ArpProbeMode mode, int socketCount, const Outcome& outcome) {
        const bool same = outcome.given == expected;
        const bool delivered = Delivered(net, seen, outcome);
        allSame = allSame && same && delivered;
        std::printf("%-13s %s  %d socket%s  %6.2f s  last %-14s  %s, %s\n", how, ModeName(mode),
                    socketCount, socketCount == 1 ? " " : "s", outcome.seconds,
                    outcome.given.back().c_str(), same ? "same addresses" : "DIFFERENT ADDRESSES",
                    delivered ? "all delivered" : "NOT ALL DELIVERED");
        std::fflush(stdout);
    };

    int addresses = 1;
    for (const int socketCount : {1, 2, 4}) {
        // More addresses on the cameras' link, as a laptop with several
        // adapters has: every command goes out on each of them.
        for (; addresses < socketCount; ++addresses)
            net.RunInComputer({"ip", "addr", "add",
                               "192.168.2." + std::to_string(100 + addresses) + "/24", "dev",
                               "br0"});
        for (const ArpProbeMode mode : {ArpProbeMode::RawRequest, ArpProbeMode::KernelNeighbour}) {
            const auto probe = vimbrel::platform::MakeArpProbe(mode);
            if (sequential && socketCount == 1) {
                net.RunInComputer({"ip", "-4", "neigh", "flush", "all"});
                report("one at a time", mode, socketCount, Sequential(*probe, sockets, macs));
            }
            for (int round = 0; round < 2; ++round) {
                net.RunInComputer({"ip", "-4", "neigh", "flush", "all"});
                report("probing ahead", mode, socketCount, Ahead(*probe, sockets, macs));
            }
        }
    }
    net.LeaveComputer();
    return allSame ? 0 : 3;
}
