#pragma once
// What the firewall has to do with a search nobody answered: the state the
// platform read (platform/firewall.h) in, a finding out, which each front
// end words with the profile.
#include "platform/firewall.h"

namespace vimbrel {

enum class FirewallFinding {
    kLinux,  // nothing asked: the commands of firewalld and ufw are named
    kNotKnown,  // Windows' firewall did not answer
    kOff,  // off for the current profile: not the cause
    kBlockRule,  // a block rule names the program: the replies are dropped
    kAllowRule,  // allowed, no block rule: not the cause
    kNoRule,  // on, and no rule names the program: the replies are dropped
};

FirewallFinding FindFirewallCause(const platform::FirewallState& state);
// Whether the fix ("允许通过防火墙", `vimbrel-cli firewall allow`) may help.
bool OffersFirewallFix(FirewallFinding finding);

// The commands that let the replies in on Linux.
inline constexpr const char* kFirewalldCommand =
    "firewall-cmd --permanent --add-service=vimbrel && firewall-cmd --reload";
inline constexpr const char* kUfwCommand = "ufw allow proto udp from any port 9876";

}  // namespace vimbrel
