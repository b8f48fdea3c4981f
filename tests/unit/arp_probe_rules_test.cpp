// The rules of the ARP probe that asks through the system (SendARP on
// Windows), with the system's exchange replaced by a recording one.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/arp_probe_rules.h"

using namespace vimbrel::platform;

namespace {

constexpr std::uint32_t A(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return a << 24 | b << 16 | c << 8 | d;
}

struct Recorder {
    bool answer = false;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> calls;  // target, source
    ArpExchange exchange() {
        return [this](std::uint32_t target, std::uint32_t source) {
            calls.emplace_back(target, source);
            return answer;
        };
    }
};

const std::vector<LocalAddress> kComputer = {
    {A(127, 0, 0, 1), A(255, 0, 0, 0)},
    {A(192, 168, 2, 100), A(255, 255, 255, 0)},
    {A(10, 20, 0, 100), A(255, 255, 0, 0)},
};

}  // namespace

TEST(ArpProbeRulesTest, OwnAddressIsTakenAndOffLinkIsFreeWithNothingSent) {
    Recorder recorder;
    recorder.answer = true;  // a gateway that would answer for anything
    EXPECT_TRUE(ProbeWithRules(A(192, 168, 2, 100), kComputer, recorder.exchange()));
    EXPECT_FALSE(ProbeWithRules(A(192, 168, 3, 10), kComputer, recorder.exchange()));
    EXPECT_FALSE(ProbeWithRules(A(8, 8, 8, 8), kComputer, recorder.exchange()));
    // The loopback network is no link to ask on.
    EXPECT_FALSE(ProbeWithRules(A(127, 0, 0, 5), kComputer, recorder.exchange()));
    EXPECT_FALSE(ProbeWithRules(A(192, 168, 2, 10), {{A(127, 0, 0, 1), A(255, 0, 0, 0)}},
                                recorder.exchange()));
    EXPECT_TRUE(recorder.calls.empty());
}

TEST(ArpProbeRulesTest, OnLinkAsksFromTheAddressOfThatLink) {
    Recorder recorder;
    EXPECT_FALSE(ProbeWithRules(A(192, 168, 2, 10), kComputer, recorder.exchange()));
    recorder.answer = true;
    EXPECT_TRUE(ProbeWithRules(A(10, 20, 7, 1), kComputer, recorder.exchange()));
    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0], std::make_pair(A(192, 168, 2, 10), A(192, 168, 2, 100)));
    EXPECT_EQ(recorder.calls[1], std::make_pair(A(10, 20, 7, 1), A(10, 20, 0, 100)));
}

// The order both ways to the wire keep (SendARP, and the Linux batch with
// its links without ARP): off-link first, then our own, then whether the
// link can be asked at all.
TEST(ArpProbeRulesTest, RulingComesInOneOrder) {
    for (const bool own : {false, true})
        for (const bool canAsk : {false, true})
            EXPECT_EQ(RuleOnAddress(false, own, canAsk), ArpRuling::NotAnswered);
    EXPECT_EQ(RuleOnAddress(true, true, false), ArpRuling::Answered);
    EXPECT_EQ(RuleOnAddress(true, true, true), ArpRuling::Answered);
    EXPECT_EQ(RuleOnAddress(true, false, false), ArpRuling::NotAnswered);
    EXPECT_EQ(RuleOnAddress(true, false, true), ArpRuling::Ask);
}
