// The assignment that probes its candidates in one wave, against the one-candidate-at-a-time walk
// (AddressCounter) over the same scripted network, with verdicts that come
// back out of order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "operations/address_planner.h"
#include "operations/address_rules.h"
#include "platform/ipv4_text.h"
#include "tests/support/addresses.h"
#include "tests/support/address_counter.h"

namespace vimbrel {
namespace {

using test::Ip;

// How many Wait calls after its start a probe settles: by the order it was
// started in and whether it answers.
using DelayRule = std::function<int(std::size_t order, bool taken)>;

// A network of hosts holding `taken`, probed one at a time or in a batch
// whose verdicts come back after the scripted number of Wait calls. Records
// every address asked and the most under way at once.
class ScriptedNetwork : public platform::ArpProbe {
public:
    ScriptedNetwork(std::set<std::uint32_t> taken, DelayRule delay)
        : m_taken(std::move(taken)), m_delay(std::move(delay)) {}

    bool HostAnswers(std::uint32_t address) override {
        asked.push_back(address);
        return m_taken.count(address) > 0;
    }

    std::unique_ptr<platform::ArpProbeBatch> OpenBatch() override {
        return std::make_unique<Batch>(*this);
    }

    std::vector<std::uint32_t> asked;
    std::size_t mostUnderWay = 0;
    std::size_t waveBound = platform::kArpWaveBound;

private:
    class Batch : public platform::ArpProbeBatch {
    public:
        explicit Batch(ScriptedNetwork& network) : m_network(network) {}
        void Start(std::uint32_t address) override {
            m_network.asked.push_back(address);
            const bool taken = m_network.m_taken.count(address) > 0;
            const int delay = std::max(1, m_network.m_delay(m_started++, taken));
            m_underWay.push_back({address, taken, m_tick + delay});
            m_network.mostUnderWay = std::max(m_network.mostUnderWay, m_underWay.size());
        }
        std::vector<platform::ArpVerdict> Wait(std::chrono::milliseconds) override {
            ++m_tick;
            std::vector<platform::ArpVerdict> verdicts;
            std::erase_if(m_underWay, [&](const Probe& p) {
                if (p.due > m_tick) return false;
                verdicts.push_back({p.address, p.taken});
                return true;
            });
            std::reverse(verdicts.begin(), verdicts.end());  // later ones first
            return verdicts;
        }
        std::size_t WaveBound() const override { return m_network.waveBound; }

    private:
        struct Probe {
            std::uint32_t address;
            bool taken;
            int due;
        };
        ScriptedNetwork& m_network;
        std::vector<Probe> m_underWay;
        std::size_t m_started = 0;
        int m_tick = 0;
    };

    std::set<std::uint32_t> m_taken;
    DelayRule m_delay;
};

struct Scenario {
    const char* name;
    std::uint32_t start;
    std::uint32_t mask;
    std::set<std::uint32_t> taken;
    std::size_t devices;
    std::uint32_t gateway = 0;
};

std::set<std::uint32_t> LastOctets(int c, std::vector<int> lasts) {
    std::set<std::uint32_t> addresses;
    for (int last : lasts) addresses.insert(Ip(192, 168, c, last));
    return addresses;
}

std::set<std::uint32_t> Range(int first, int last, int step = 1) {
    std::vector<int> lasts;
    for (int d = first; d <= last; d += step) lasts.push_back(d);
    return LastOctets(2, lasts);
}

std::vector<Scenario> Scenarios() {
    const std::uint32_t c24 = Ip(255, 255, 255, 0);
    return {
        {"hosts .10 and .12", Ip(192, 168, 2, 10), c24, LastOctets(2, {10, 12}), 3},
        {"none taken", Ip(192, 168, 2, 10), c24, {}, 50},
        {"every other taken", Ip(192, 168, 2, 10), c24, Range(10, 254, 2), 60},
        {"taken run at the end", Ip(192, 168, 2, 150), c24, Range(200, 254), 60},
        {"all taken", Ip(192, 168, 2, 1), c24, Range(1, 254), 5},
        {"start .250", Ip(192, 168, 2, 250), c24, {}, 8},
        {"start .250, .251 taken", Ip(192, 168, 2, 250), c24, LastOctets(2, {251}), 3},
        {"/25 from .120", Ip(192, 168, 2, 120), Ip(255, 255, 255, 128), LastOctets(2, {122}), 8},
        {"gateway .11 among the candidates", Ip(192, 168, 2, 10), c24, LastOctets(2, {12}), 4,
         Ip(192, 168, 2, 11)},
        {"/25 from .120, gateway .126",
         Ip(192, 168, 2, 120),
         Ip(255, 255, 255, 128),
         {},
         8,
         Ip(192, 168, 2, 126)},
        {"/16, 200 devices",
         Ip(172, 16, 5, 9),
         Ip(255, 255, 0, 0),
         {Ip(172, 16, 5, 40), Ip(172, 16, 5, 41), Ip(172, 16, 5, 255)},
         200},
    };
}

// What the one-at-a-time walk gives each device.
std::vector<std::optional<std::string>> Sequential(const Scenario& s,
                                                   std::vector<std::uint32_t>& asked) {
    ScriptedNetwork network(s.taken, [](std::size_t, bool) { return 1; });
    AddressCounter counter(s.start, s.mask, s.gateway);
    std::vector<std::optional<std::string>> given;
    for (std::size_t device = 0; device < s.devices; ++device)
        given.push_back(counter.NextFreeAddress(network));
    asked = network.asked;
    return given;
}

void ExpectSameAsSequential(const Scenario& s, const char* ruleName, const DelayRule& rule) {
    SCOPED_TRACE(std::string(s.name) + ", " + ruleName);
    std::vector<std::uint32_t> askedInTurn;
    const auto expected = Sequential(s, askedInTurn);

    ScriptedNetwork network(s.taken, rule);
    std::vector<std::optional<std::string>> given(s.devices);
    std::size_t nextDevice = 0;
    const AssignmentProgress progress = AssignAddresses(
        AssignableCandidates(s.start, s.mask, s.gateway), s.devices, network,
        [&](std::size_t device, std::uint32_t address) {
            EXPECT_EQ(device, nextDevice++);  // device order, each once
            given[device] = platform::FormatIPv4(address);
        },
        [] { return true; });

    EXPECT_FALSE(progress.cancelled);
    EXPECT_EQ(progress.assigned, nextDevice);
    EXPECT_EQ(given, expected);
    // The same candidates asked as in turn, none twice, never too many at once.
    std::vector<std::uint32_t> asked = network.asked;
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(std::adjacent_find(asked.begin(), asked.end()), asked.end());
    EXPECT_EQ(asked, askedInTurn);
    EXPECT_LE(network.mostUnderWay, network.waveBound);
}

TEST(AssignAddresses, OutOfOrderVerdictsGiveTheAddressesOfTheWalkInTurn) {
    std::mt19937 random(12);
    const std::vector<std::pair<const char*, DelayRule>> rules = {
        // Every verdict in the next Wait, later candidates listed first.
        {"all at once", [](std::size_t, bool) { return 1; }},
        // Each candidate settles before the one started before it.
        {"later first", [](std::size_t order, bool) { return 40 - int(order % 40); }},
        // Hosts answer at once, free candidates wait out a deadline.
        {"answers fast", [](std::size_t, bool taken) { return taken ? 1 : 20; }},
        {"random", [&random](std::size_t, bool) { return int(random() % 30); }},
    };
    for (const Scenario& s : Scenarios())
        for (const auto& [name, rule] : rules) ExpectSameAsSequential(s, name, rule);
}

// The reference itself, written out once: the gateway is passed over like a
// taken address, without a probe.
TEST(AssignAddresses, TheReferencePassesOverTheGatewayAndTheTaken) {
    const Scenario s = Scenarios()[8];
    ASSERT_STREQ(s.name, "gateway .11 among the candidates");
    std::vector<std::uint32_t> asked;
    EXPECT_EQ(Sequential(s, asked),
              (std::vector<std::optional<std::string>>{"192.168.2.10", "192.168.2.13",
                                                       "192.168.2.14", "192.168.2.15"}));
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{Ip(192, 168, 2, 10), Ip(192, 168, 2, 12),
                                                 Ip(192, 168, 2, 13), Ip(192, 168, 2, 14),
                                                 Ip(192, 168, 2, 15)}));
}

TEST(AssignAddresses, ProbesInOneWaveWithinTheBoundAndOnlyWhatCouldBeNeeded) {
    // 200 devices, nobody answers: every candidate they need in one wave.
    ScriptedNetwork wide({}, [](std::size_t, bool) { return 10; });
    const auto candidates = AssignableCandidates(Ip(10, 0, 0, 1), Ip(255, 0, 0, 0), 0);
    EXPECT_EQ(AssignAddresses(
                  candidates, 200, wide, [](auto, auto) {}, [] { return true; })
                  .assigned,
              200u);
    EXPECT_EQ(wide.mostUnderWay, 200u);
    EXPECT_EQ(wide.asked.size(), 200u);

    // Every other candidate taken: the taken ones are replaced as their
    // answers come, so the wave covers all 2 × 100 while answers are fast.
    std::set<std::uint32_t> everyOther;
    for (std::size_t i = 0; i < 200; i += 2) everyOther.insert(candidates[i]);
    ScriptedNetwork mixed(everyOther, [](std::size_t, bool taken) { return taken ? 1 : 10; });
    EXPECT_EQ(AssignAddresses(
                  candidates, 100, mixed, [](auto, auto) {}, [] { return true; })
                  .assigned,
              100u);
    EXPECT_EQ(mixed.asked.size(), 200u);
    EXPECT_GE(mixed.mostUnderWay, 100u);

    // A batch with a smaller bound is filled to it, never past it.
    ScriptedNetwork bounded({}, [](std::size_t, bool) { return 10; });
    bounded.waveBound = 16;
    AssignAddresses(
        candidates, 100, bounded, [](auto, auto) {}, [] { return true; });
    EXPECT_EQ(bounded.mostUnderWay, 16u);
    EXPECT_EQ(bounded.asked.size(), 100u);

    // Three devices: three probes, never more.
    ScriptedNetwork narrow({}, [](std::size_t, bool) { return 10; });
    AssignAddresses(
        candidates, 3, narrow, [](auto, auto) {}, [] { return true; });
    EXPECT_EQ(narrow.asked.size(), 3u);

    // No device: nothing asked.
    ScriptedNetwork none({}, [](std::size_t, bool) { return 1; });
    EXPECT_EQ(AssignAddresses(
                  candidates, 0, none, [](auto, auto) {}, [] { return true; })
                  .assigned,
              0u);
    EXPECT_TRUE(none.asked.empty());
}

TEST(AssignAddresses, StopsBeforeTheNextDeviceWhenToldTo) {
    ScriptedNetwork network({}, [](std::size_t order, bool) { return 5 - int(order % 5); });
    std::vector<std::uint32_t> given;
    const AssignmentProgress progress = AssignAddresses(
        AssignableCandidates(Ip(192, 168, 2, 10), Ip(255, 255, 255, 0), 0), 10, network,
        [&](std::size_t, std::uint32_t address) { given.push_back(address); },
        [&] { return given.size() < 2; });
    EXPECT_TRUE(progress.cancelled);
    EXPECT_EQ(progress.assigned, 2u);
    EXPECT_EQ(given, (std::vector<std::uint32_t>{Ip(192, 168, 2, 10), Ip(192, 168, 2, 11)}));
}

}  // namespace
}  // namespace vimbrel
