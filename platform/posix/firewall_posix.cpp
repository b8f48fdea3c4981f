// Linux asks no firewall: firewalld and ufw have no query an ordinary user
// may run. The words name the commands that let the replies in instead.
#include <unistd.h>

#include <climits>

#include "platform/firewall.h"
#include "platform/utf8_text.h"

namespace vimbrel::platform {

FirewallState QueryFirewall(const std::wstring&) { return {}; }

std::wstring ThisProgramPath() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    return length > 0 ? FromUtf8(std::string(path, static_cast<std::size_t>(length))) : L"";
}

FirewallFix AllowThroughFirewall(const std::wstring&) { return {FirewallFixResult::kNotHere, {}}; }

FirewallFix RunElevated(const std::wstring&, const std::wstring&) {
    return {FirewallFixResult::kNotHere, {}};
}

}  // namespace vimbrel::platform
