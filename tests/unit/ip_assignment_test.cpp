// The address counter of automatic IP assignment, driven by a scripted probe.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "operations/ip_assignment.h"

namespace vimbrel {
namespace {

constexpr std::uint32_t Address(int a, int b, int c, int d) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(b) << 16) | (std::uint32_t(c) << 8) |
           std::uint32_t(d);
}

// Answers for a fixed set of addresses and records every candidate asked.
class ScriptedProbe : public platform::ArpProbe {
public:
    explicit ScriptedProbe(std::set<std::uint32_t> answering) : m_answering(std::move(answering)) {}
    bool HostAnswers(std::uint32_t address) override {
        probed.push_back(address);
        return m_answering.count(address) != 0;
    }
    std::vector<std::uint32_t> probed;

private:
    std::set<std::uint32_t> m_answering;
};

// What each of `devices` selected rows gets, in list order.
std::vector<std::optional<std::string>> AssignAll(AddressCounter& counter, ScriptedProbe& probe,
                                                  int devices) {
    std::vector<std::optional<std::string>> given;
    for (int i = 0; i < devices; ++i)
        given.push_back(counter.NextFreeAddress(probe));
    return given;
}

TEST(IPTextToAddress, TheDialogDefaults) {
    EXPECT_EQ(IPTextToAddress(L"192.168.2.10"), 0xC0A8020Au);
    EXPECT_EQ(IPTextToAddress(L"255.255.255.0"), 0xFFFFFF00u);
    EXPECT_EQ(IPTextToAddress(L"192.168.2.1"), 0xC0A80201u);
}

TEST(IPTextToAddress, OddTextsStayWithinFourOctets) {
    EXPECT_EQ(IPTextToAddress(L""), 0u);
    EXPECT_EQ(IPTextToAddress(L"10.1"), Address(10, 1, 0, 0));
    EXPECT_EQ(IPTextToAddress(L"1.2.3.4.5"), Address(1, 2, 3, 4));
    EXPECT_EQ(IPTextToAddress(L"300.1x.2.7"), Address(300 & 0xFF, 1, 2, 7));
}

TEST(AddressText, HighestByteFirst) {
    EXPECT_EQ(AddressText(0xC0A8020Au), "192.168.2.10");
    EXPECT_EQ(AddressText(0u), "0.0.0.0");
    EXPECT_EQ(AddressText(0xFFFFFFFFu), "255.255.255.255");
}

TEST(AddressCounter, SkipsAnsweringHostsAndCarriesOnAcrossDevices) {
    ScriptedProbe probe({Address(192, 168, 2, 10), Address(192, 168, 2, 12)});
    AddressCounter counter(IPTextToAddress(L"192.168.2.10"));

    const auto given = AssignAll(counter, probe, 3);

    ASSERT_EQ(given.size(), 3u);
    EXPECT_EQ(given[0], "192.168.2.11");
    EXPECT_EQ(given[1], "192.168.2.13");
    EXPECT_EQ(given[2], "192.168.2.14");
    EXPECT_EQ(probe.probed, (std::vector<std::uint32_t>{
                                Address(192, 168, 2, 10), Address(192, 168, 2, 11),
                                Address(192, 168, 2, 12), Address(192, 168, 2, 13),
                                Address(192, 168, 2, 14)}));
}

TEST(AddressCounter, StopsAfter255WithoutProbingFurther) {
    ScriptedProbe probe({});
    AddressCounter counter(Address(192, 168, 2, 254));

    const auto given = AssignAll(counter, probe, 3);

    EXPECT_EQ(given[0], "192.168.2.254");
    EXPECT_EQ(given[1], "192.168.2.255");
    EXPECT_EQ(given[2], std::nullopt);
    EXPECT_EQ(probe.probed,
              (std::vector<std::uint32_t>{Address(192, 168, 2, 254), Address(192, 168, 2, 255)}));
}

TEST(AddressCounter, ADeviceThatRunsPast255LeavesNothingForLaterOnes) {
    std::set<std::uint32_t> answering;
    for (int last = 250; last <= 255; ++last)
        answering.insert(Address(192, 168, 2, last));
    ScriptedProbe probe(answering);
    AddressCounter counter(Address(192, 168, 2, 250));

    const auto given = AssignAll(counter, probe, 3);

    for (const auto& address : given)
        EXPECT_EQ(address, std::nullopt);
    // Each candidate once, by the first device; the others probe nothing.
    ASSERT_EQ(probe.probed.size(), 6u);
    EXPECT_EQ(probe.probed.front(), Address(192, 168, 2, 250));
    EXPECT_EQ(probe.probed.back(), Address(192, 168, 2, 255));
}

TEST(AddressCounter, NetworkAndBroadcastOctetsAreCandidatesToo) {
    ScriptedProbe probe({});
    AddressCounter counter(Address(10, 0, 0, 0));

    EXPECT_EQ(counter.NextFreeAddress(probe), "10.0.0.0");
    EXPECT_EQ(probe.probed, (std::vector<std::uint32_t>{Address(10, 0, 0, 0)}));
}

TEST(AddressCounter, OnlyTheLastOctetEverChanges) {
    // Start 172.16.5.9 (whatever the mask): every host up to .254 answers.
    std::set<std::uint32_t> answering;
    for (int last = 9; last <= 254; ++last)
        answering.insert(Address(172, 16, 5, last));
    ScriptedProbe probe(answering);
    AddressCounter counter(Address(172, 16, 5, 9));

    EXPECT_EQ(counter.NextFreeAddress(probe), "172.16.5.255");
    EXPECT_EQ(counter.NextFreeAddress(probe), std::nullopt);
    ASSERT_FALSE(probe.probed.empty());
    EXPECT_EQ(probe.probed.front(), Address(172, 16, 5, 9));
    EXPECT_EQ(probe.probed[1], Address(172, 16, 5, 10));
    for (std::uint32_t candidate : probe.probed)
        EXPECT_EQ(candidate & 0xFFFFFF00u, Address(172, 16, 5, 0));
}

}  // namespace
}  // namespace vimbrel
