// What the firewall has to do with a search nobody answered: each state the
// platform reads, the finding, whether the fix is offered and the words of
// both front ends; and the netsh commands of the fix.
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

TEST(FirewallFinding, TheWindowSaysWhatItFoundWithTheProfile) {
    EXPECT_EQ(FirewallFindingText(FirewallFinding::kBlockRule, FirewallProfile::kPublic),
              L"Windows 防火墙有阻止 Vimbrel 的规则（公用网络），摄像机的应答被拦截。");
    EXPECT_EQ(FirewallFindingText(FirewallFinding::kOff, FirewallProfile::kDomain),
              L"Windows 防火墙在当前网络（域网络）上已关闭，不是它拦截了应答。"
              L"其他可能的原因：网线未接好，或设备在路由器另一侧的网段。");
    EXPECT_EQ(FirewallFindingText(FirewallFinding::kAllowRule, FirewallProfile::kPrivate),
              L"Windows 防火墙已允许 Vimbrel（专用网络），不是它拦截了应答。"
              L"其他可能的原因：网线未接好，或设备在路由器另一侧的网段。");
    // Public: why a switch-and-laptop network is public at all.
    EXPECT_EQ(FirewallFindingText(FirewallFinding::kNoRule, FirewallProfile::kPublic),
              L"Windows 防火墙已开启（公用网络），没有允许 Vimbrel 的规则，摄像机的应答被拦截。"
              L"只有交换机、没有网关的摄像机网络是未识别的网络，Windows 把它当作公用网络。");
    EXPECT_EQ(FirewallFindingText(FirewallFinding::kNoRule, FirewallProfile::kPrivate),
              L"Windows 防火墙已开启（专用网络），没有允许 Vimbrel 的规则，摄像机的应答被拦截。");
    EXPECT_EQ(FirewallFindingText(FirewallFinding::kLinux, FirewallProfile::kPublic),
              L"常见原因：网线未接好，设备在路由器另一侧的网段，或防火墙拦截了摄像机的应答"
              L"（firewalld：firewall-cmd --permanent --add-service=vimbrel && firewall-cmd "
              L"--reload；ufw：ufw allow proto udp from any port 9876）。");
    // The old line's port: the replies come to the socket's port, not 9876.
    for (FirewallFinding f :
         {FirewallFinding::kNotKnown, FirewallFinding::kOff, FirewallFinding::kBlockRule,
          FirewallFinding::kAllowRule, FirewallFinding::kNoRule})
        EXPECT_EQ(FirewallFindingText(f, FirewallProfile::kPublic).find(L"9876"),
                  std::wstring::npos);
}

TEST(FirewallFinding, TheCommandLineSaysTheSameAndNamesItsFix) {
    EXPECT_EQ(FirewallFindingLine(FirewallFinding::kBlockRule, FirewallProfile::kPublic),
              "Windows Firewall has a rule that blocks this program (public network): the "
              "cameras' replies are dropped; `vimbrel-cli firewall allow` from an "
              "administrator's prompt lets them in");
    EXPECT_EQ(FirewallFindingLine(FirewallFinding::kOff, FirewallProfile::kPrivate),
              "Windows Firewall is off (private network); it is not what drops the replies");
    EXPECT_EQ(FirewallFindingLine(FirewallFinding::kNoRule, FirewallProfile::kDomain),
              "Windows Firewall is on (domain network) and no rule allows this program: the "
              "cameras' replies are dropped; `vimbrel-cli firewall allow` from an "
              "administrator's prompt lets them in");
    EXPECT_EQ(FirewallFindingLine(FirewallFinding::kLinux, FirewallProfile::kPublic),
              "a firewall may drop the cameras' replies; firewalld: firewall-cmd --permanent "
              "--add-service=vimbrel && firewall-cmd --reload; ufw: ufw allow proto udp from any "
              "port 9876");
}

// The installer's rule has the same name and shape (res/windows/vimbrel.nsi):
// the uninstaller deletes it by that name.
TEST(FirewallFix, NetshDeletesTheProgramsInboundRulesThenAddsItsAllowRule) {
    const std::wstring program = L"C:\\Program Files\\Vimbrel\\vimbrel.exe";
    EXPECT_EQ(platform::FirewallRuleName(program), L"Vimbrel (vimbrel.exe)");
    EXPECT_EQ(platform::FirewallRuleName(L"vimbrel-cli.exe"), L"Vimbrel (vimbrel-cli.exe)");
    const std::vector<std::wstring> commands = platform::FirewallFixArguments(program);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0],
              L"advfirewall firewall delete rule name=all dir=in "
              L"program=\"C:\\Program Files\\Vimbrel\\vimbrel.exe\"");
    EXPECT_EQ(commands[1],
              L"advfirewall firewall add rule name=\"Vimbrel (vimbrel.exe)\" dir=in action=allow "
              L"program=\"C:\\Program Files\\Vimbrel\\vimbrel.exe\" protocol=udp profile=any "
              L"enable=yes");
}

}  // namespace
}  // namespace vimbrel
