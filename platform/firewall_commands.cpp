#include "platform/firewall.h"

namespace vimbrel::platform {

namespace {

std::wstring FileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::wstring FirewallRuleName(const std::wstring& programPath) {
    return L"Vimbrel (" + FileNameOf(programPath) + L")";
}

// A Windows path holds no quote, so each value is quoted as it stands.
std::vector<std::wstring> FirewallFixArguments(const std::wstring& programPath) {
    const std::wstring program = L"program=\"" + programPath + L"\"";
    return {
        L"advfirewall firewall delete rule name=all dir=in " + program,
        L"advfirewall firewall add rule name=\"" + FirewallRuleName(programPath) +
            L"\" dir=in action=allow " + program + L" protocol=udp profile=any enable=yes",
    };
}

}  // namespace vimbrel::platform
