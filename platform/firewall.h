#pragma once
// The computer's firewall as it concerns the cameras' replies: a reply comes
// from the camera's port 9876 to the port our socket was given, so to the
// firewall it is an inbound datagram. On Windows the firewall is asked
// through INetFwPolicy2 (no administrator needed) and the fix runs netsh;
// elsewhere nothing is asked and nothing is changed.
#include <string>
#include <vector>

namespace vimbrel::platform {

enum class FirewallProfile { kDomain, kPrivate, kPublic };

struct FirewallState {
    bool asked = false;  // a firewall was asked (Windows)
    bool known = false;  // it told its current profile and whether it is on
    FirewallProfile profile = FirewallProfile::kPublic;  // the strictest current one
    bool enabled = false;  // on for that profile
    bool rulesKnown = false;  // its rules were read
    bool blockRule = false;  // an enabled inbound block rule for UDP names this program
    bool allowRule = false;  // an enabled inbound allow rule for UDP names this program
};

// The firewall's state for the program at `programPath` (this program's
// own path when empty). Windows only; elsewhere a state with `asked` false.
FirewallState QueryFirewall(const std::wstring& programPath = {});

// The full path of the running program.
std::wstring ThisProgramPath();

enum class FirewallFixResult {
    kDone,  // the program's inbound rules deleted and the allow rule added
    kNeedsAdministrator,  // not run as an administrator: nothing changed
    kCancelled,  // the user declined the elevation prompt: nothing changed
    kFailed,  // a command failed; `detail` says which and why
    kNotHere,  // no fix on this system
};
struct FirewallFix {
    FirewallFixResult result = FirewallFixResult::kFailed;
    std::string detail;  // UTF-8; empty unless kFailed
};

// The name of the allow rule of a program (the installer's rule too), from
// its file name: "Vimbrel (vimbrel.exe)".
std::wstring FirewallRuleName(const std::wstring& programPath);
// The netsh arguments of the fix, run in order: delete every inbound rule
// naming the program (the block rules a cancelled prompt left, and an older
// allow rule), then add its allow rule for UDP on every profile.
std::vector<std::wstring> FirewallFixArguments(const std::wstring& programPath);

// Runs the fix for `programPath` here, as an administrator; without
// administrator rights it changes nothing and says so.
FirewallFix AllowThroughFirewall(const std::wstring& programPath);
// Runs `programPath` with `arguments` elevated (one UAC prompt) and waits
// for it: kDone when it ended with exit code 0.
FirewallFix RunElevated(const std::wstring& programPath, const std::wstring& arguments);

}  // namespace vimbrel::platform
