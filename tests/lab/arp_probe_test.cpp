// The system's ARP probe on a private link: both ways of asking, one address
// or many at once, the time a silent candidate costs, and what a stale
// neighbour entry means.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "platform/arp_probe.h"
#include "platform/ipv4_text.h"
#include "platform/udp_socket.h"
#include "tests/support/addresses.h"
#include "tools/lab/lab_network.h"

namespace vimbrel {
namespace {

using platform::ArpProbeMode;
using Clock = std::chrono::steady_clock;

using test::Ip;
using test::kComputer;

constexpr std::uint32_t kHost = Ip(192, 168, 2, 10);
constexpr std::uint32_t kUnused = Ip(192, 168, 2, 77);
constexpr std::uint32_t kElsewhere = Ip(10, 9, 9, 9);

// One probe's verdict and how long it took.
struct Verdict {
    bool answered;
    double seconds;
};

Verdict Probe(ArpProbeMode mode, std::uint32_t address) {
    const auto probe = platform::MakeArpProbe(mode);
    const auto start = Clock::now();
    const bool answered = probe->HostAnswers(address);
    return {answered, std::chrono::duration<double>(Clock::now() - start).count()};
}

// The computer on one link 192.168.2.100/24 with a host at 192.168.2.10;
// the test thread works inside the computer's namespace.
class ArpProbeLab : public ::testing::Test {
protected:
    void SetUp() override {
        LAB_REQUIRE_ROOT();
        m_network = std::make_unique<lab::LabNetwork>();
        m_network->AddHost(m_network->AddLink("192.168.2.100/24"), "192.168.2.10");
        m_network->EnterComputer();
        lab::RequirePrivateNetwork();
    }
    void TearDown() override {
        if (m_network) m_network->LeaveComputer();
    }

    // The computer's interface that reaches `address`.
    std::string DeviceFor(const std::string& address) const {
        std::istringstream route(m_network->RunInComputer({"ip", "-o", "route", "get", address}));
        for (std::string word; route >> word;) {
            if (word == "dev" && route >> word) return word;
        }
        return {};
    }

    std::unique_ptr<lab::LabNetwork> m_network;
};

TEST_F(ArpProbeLab, AHostThatHoldsTheAddressAnswersEitherWay) {
    for (ArpProbeMode mode :
         {ArpProbeMode::Automatic, ArpProbeMode::RawRequest, ArpProbeMode::KernelNeighbour}) {
        EXPECT_TRUE(Probe(mode, kHost).answered) << static_cast<int>(mode);
        EXPECT_TRUE(Probe(mode, kComputer).answered) << "own address, " << static_cast<int>(mode);
    }
}

TEST_F(ArpProbeLab, AnUnusedAddressOnTheLinkIsFreeWithinBoundedTime) {
    for (ArpProbeMode mode : {ArpProbeMode::RawRequest, ArpProbeMode::KernelNeighbour}) {
        const Verdict verdict = Probe(mode, kUnused);
        EXPECT_FALSE(verdict.answered) << static_cast<int>(mode);
        EXPECT_LT(verdict.seconds, 10.0)
            << static_cast<int>(mode);  // no hang; its time is the benchmark's
    }
}

TEST_F(ArpProbeLab, AnAddressOutsideEveryConnectedNetworkIsFreeWithoutAProbe) {
    for (ArpProbeMode mode :
         {ArpProbeMode::Automatic, ArpProbeMode::RawRequest, ArpProbeMode::KernelNeighbour}) {
        const Verdict verdict = Probe(mode, kElsewhere);
        EXPECT_FALSE(verdict.answered) << static_cast<int>(mode);
    }
    // Nothing was sent for it, so the kernel never looked it up.
    EXPECT_EQ(m_network->RunInComputer({"ip", "neigh", "show", "10.9.9.9"}), "");
}

TEST_F(ArpProbeLab, AStaleEntryIsKeptBackByTheKernelButAskedAgainOnTheWire) {
    const std::string device = DeviceFor("192.168.2.77");
    ASSERT_FALSE(device.empty());
    m_network->RunInComputer({"ip", "neigh", "replace", "192.168.2.77", "lladdr",
                              "02:00:00:00:00:77", "dev", device, "nud", "stale"});
    ASSERT_NE(m_network->RunInComputer({"ip", "neigh", "show", "192.168.2.77"}).find("STALE"),
              std::string::npos);

    // Without privilege the kernel's stale word stands: the address may still
    // be in use, so it is not handed out.
    EXPECT_TRUE(Probe(ArpProbeMode::KernelNeighbour, kUnused).answered);
    // A request of our own finds nobody there.
    const Verdict raw = Probe(ArpProbeMode::RawRequest, kUnused);
    EXPECT_FALSE(raw.answered);
    EXPECT_LT(raw.seconds, 10.0);
    EXPECT_FALSE(Probe(ArpProbeMode::Automatic, kUnused).answered);
}

// A whole wave: every address of the link but the computer's .100 at once
// (253 candidates, within both ways' bound), where one host holds every odd
// one and the fixture's host .10: each gets one verdict, the right one, and no answer is lost in
// the burst of 127 answers.
TEST_F(ArpProbeLab, AWaveOfEveryCandidateOnTheLinkSettlesEachRightOnce) {
    const std::string host = m_network->AddHost(0, "192.168.2.1");
    const std::string batchFile = "/tmp/vimbrel-arp-wave-" + std::to_string(::getpid());
    {
        std::ofstream file(batchFile);
        for (int last = 3; last < 255; last += 2)
            file << "addr add 192.168.2." << last << "/24 dev eth0\n";
    }
    m_network->RunInHost(host, {"ip", "-batch", batchFile});
    std::remove(batchFile.c_str());
    std::vector<std::uint32_t> candidates;
    for (int last = 1; last < 255; ++last)
        if (last != 100) candidates.push_back(Ip(192, 168, 2, last));

    for (ArpProbeMode mode : {ArpProbeMode::KernelNeighbour, ArpProbeMode::RawRequest}) {
        SCOPED_TRACE(static_cast<int>(mode));
        m_network->RunInComputer({"ip", "-4", "neigh", "flush", "all"});
        const auto probe = platform::MakeArpProbe(mode);
        const auto batch = probe->OpenBatch();
        ASSERT_GE(batch->WaveBound(), candidates.size());
        for (const std::uint32_t address : candidates) batch->Start(address);
        std::map<std::uint32_t, bool> verdicts;
        const auto giveUp = Clock::now() + std::chrono::seconds(15);
        while (verdicts.size() < candidates.size() && Clock::now() < giveUp) {
            for (const platform::ArpVerdict& verdict : batch->Wait(std::chrono::milliseconds(20)))
                EXPECT_TRUE(verdicts.emplace(verdict.address, verdict.answered).second)
                    << "second verdict for " << platform::FormatIPv4(verdict.address);
        }
        ASSERT_EQ(verdicts.size(), candidates.size());
        for (const auto& [address, answered] : verdicts)
            EXPECT_EQ(answered, (address & 1) == 1 || address == kHost)
                << platform::FormatIPv4(address);
    }
}

// A caller busy elsewhere past the deadline (sending commands, say) still
// learns of an answer that came in meanwhile.
TEST_F(ArpProbeLab, AnAnswerReadAfterTheDeadlineStillCounts) {
    for (ArpProbeMode mode : {ArpProbeMode::KernelNeighbour, ArpProbeMode::RawRequest}) {
        SCOPED_TRACE(static_cast<int>(mode));
        m_network->RunInComputer({"ip", "-4", "neigh", "flush", "all"});
        const auto probe = platform::MakeArpProbe(mode);
        const auto batch = probe->OpenBatch();
        batch->Start(kHost);
        batch->Start(kUnused);
        std::map<std::uint32_t, bool> verdicts;
        auto take = [&] {
            for (const platform::ArpVerdict& verdict : batch->Wait(std::chrono::milliseconds(0)))
                verdicts.emplace(verdict.address, verdict.answered);
        };
        take();  // the requests go out
        std::this_thread::sleep_for(std::chrono::milliseconds(1200));  // the caller is busy
        take();
        EXPECT_EQ(verdicts, (std::map<std::uint32_t, bool>{{kHost, true}, {kUnused, false}}));
    }
}

}  // namespace
}  // namespace vimbrel
