// What the firewall has to do with a search nobody answered: each state the
// platform reads, the finding, and whether the fix is offered; and the netsh
// commands of the fix.
#include <gtest/gtest.h>

#include "operations/firewall_finding.h"
#include "platform/firewall.h"

namespace vimbrel {
namespace {

using platform::FirewallProfile;
using platform::FirewallState;

FirewallState Windows(FirewallProfile profile, bool enabled, bool block, bool allow) {
    FirewallState state;
    state.asked = state.known = state.rulesKnown = true;
    state.profile = profile;
    state.enabled = enabled;
    state.blockRule = block;
    state.allowRule = allow;
    return state;
}

TEST(FirewallFinding, EachStateGivesItsFindingAndOnlyAPossibleCauseOffersTheFix) {
    struct Case {
        const char* name;
        FirewallState state;
        FirewallFinding finding;
        bool fix;
    };
    FirewallState unreadRules = Windows(FirewallProfile::kPrivate, true, true, false);
    unreadRules.rulesKnown = false;  // a block rule seen before the read failed counts not
    FirewallState unknown;
    unknown.asked = true;
    const Case cases[] = {
        {"linux", FirewallState{}, FirewallFinding::kLinux, false},
        {"not known", unknown, FirewallFinding::kNotKnown, true},
        {"rules unread", unreadRules, FirewallFinding::kNotKnown, true},
        // Off: rules do not matter, not even a block rule.
        {"off", Windows(FirewallProfile::kPublic, false, true, false), FirewallFinding::kOff,
         false},
        // A block rule wins over an allow rule, as in the firewall itself.
        {"block and allow", Windows(FirewallProfile::kPublic, true, true, true),
         FirewallFinding::kBlockRule, true},
        {"allow", Windows(FirewallProfile::kPrivate, true, false, true),
         FirewallFinding::kAllowRule, false},
        {"neither", Windows(FirewallProfile::kPublic, true, false, false), FirewallFinding::kNoRule,
         true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindFirewallCause(c.state), c.finding) << c.name;
        EXPECT_EQ(OffersFirewallFix(c.finding), c.fix) << c.name;
    }
}

}  // namespace
}  // namespace vimbrel
