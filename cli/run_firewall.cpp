// The firewall's part in a search nobody answered, and its fix.
#include "cli/exit_codes.h"
#include "cli/runs.h"
#include "cli/words.h"
#include "operations/firewall_finding.h"
#include "platform/firewall.h"

namespace vimbrel::cli {

void SayFirewallFinding(std::ostream& err) {
    const platform::FirewallState state = platform::QueryFirewall();
    err << "vimbrel-cli: " << FirewallFindingWords(FindFirewallCause(state), state.profile) << "\n";
}

int RunFirewallAllow(std::ostream& out, std::ostream& err) {
    const platform::FirewallFix fix = platform::AllowThroughFirewall(platform::ThisProgramPath());
    switch (fix.result) {
    case platform::FirewallFixResult::kDone:
        out << "vimbrel-cli: Windows Firewall now lets the cameras' replies in\n";
        return kExitOk;
    case platform::FirewallFixResult::kNeedsAdministrator:
        err << "vimbrel-cli: firewall allow needs an administrator's prompt "
               "(Run as administrator); nothing changed\n";
        return kExitFailed;
    case platform::FirewallFixResult::kNotHere:
        err << "vimbrel-cli: firewall allow is for Windows; here: " << kFirewalldCommand
            << " (firewalld) or " << kUfwCommand << " (ufw)\n";
        return kExitFailed;
    case platform::FirewallFixResult::kCancelled:
    case platform::FirewallFixResult::kFailed: break;
    }
    err << "vimbrel-cli: the firewall was not changed: " << fix.detail << "\n";
    return kExitFailed;
}

}  // namespace vimbrel::cli
