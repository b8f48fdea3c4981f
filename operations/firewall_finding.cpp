#include "operations/firewall_finding.h"

namespace vimbrel {

FirewallFinding FindFirewallCause(const platform::FirewallState& state) {
    if (!state.asked) return FirewallFinding::kLinux;
    if (!state.known) return FirewallFinding::kNotKnown;
    if (!state.enabled) return FirewallFinding::kOff;
    // A block rule wins over an allow rule for the same traffic.
    if (state.rulesKnown && state.blockRule) return FirewallFinding::kBlockRule;
    if (state.rulesKnown && state.allowRule) return FirewallFinding::kAllowRule;
    return state.rulesKnown ? FirewallFinding::kNoRule : FirewallFinding::kNotKnown;
}

bool OffersFirewallFix(FirewallFinding finding) {
    return finding == FirewallFinding::kNotKnown || finding == FirewallFinding::kBlockRule ||
           finding == FirewallFinding::kNoRule;
}

}  // namespace vimbrel
