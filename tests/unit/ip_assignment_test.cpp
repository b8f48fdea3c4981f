// The dialog's address texts and the counter of automatic IP assignment at
// the end of its range, driven by a scripted probe.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "operations/ip_assignment.h"
#include "tests/support/addresses.h"
#include "tests/support/address_counter.h"

namespace vimbrel {
namespace {

using test::Ip;

// Answers for the last octets from `firstAnswering` through `lastAnswering`
// and records every candidate asked.
class ScriptedProbe : public platform::ArpProbe {
public:
    ScriptedProbe(int firstAnswering, int lastAnswering)
        : m_first(firstAnswering), m_last(lastAnswering) {}
    bool HostAnswers(std::uint32_t address) override {
        probed.push_back(address);
        const int last = static_cast<int>(address & 0xFF);
        return last >= m_first && last <= m_last;
    }
    std::vector<std::uint32_t> probed;

private:
    int m_first, m_last;
};

TEST(IPTextToAddress, OddTextsStayWithinFourOctets) {
    EXPECT_EQ(IPTextToAddress(L"192.168.2.10"), 0xC0A8020Au);
    EXPECT_EQ(IPTextToAddress(L""), 0u);
    EXPECT_EQ(IPTextToAddress(L"10.1"), Ip(10, 1, 0, 0));
    EXPECT_EQ(IPTextToAddress(L"1.2.3.4.5"), Ip(1, 2, 3, 4));
    EXPECT_EQ(IPTextToAddress(L"300.1x.2.7"), Ip(300 & 0xFF, 1, 2, 7));
}

TEST(AddressCounter, NeverCarriesPast255AndLaterDevicesProbeNothing) {
    // Under a /16, .250 to .254 answer: the first device gets .255. Or .250
    // to .255 answer: the first device runs out. Either way each candidate is
    // probed once, the third octet never changes, and later devices get
    // nothing.
    for (const int lastAnswering : {254, 255}) {
        SCOPED_TRACE(lastAnswering);
        ScriptedProbe probe(250, lastAnswering);
        AddressCounter counter(Ip(172, 16, 5, 250), Ip(255, 255, 0, 0), 0);
        const std::optional<std::string> first = counter.NextFreeAddress(probe);
        EXPECT_EQ(first,
                  lastAnswering == 254 ? std::optional<std::string>("172.16.5.255") : std::nullopt);
        EXPECT_EQ(counter.NextFreeAddress(probe), std::nullopt);
        EXPECT_EQ(counter.NextFreeAddress(probe), std::nullopt);
        std::vector<std::uint32_t> expected;
        for (int last = 250; last <= 255; ++last) expected.push_back(Ip(172, 16, 5, last));
        EXPECT_EQ(probe.probed, expected);
    }
}

}  // namespace
}  // namespace vimbrel
