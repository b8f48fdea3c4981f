#include "operations/firewall_finding.h"

#include "platform/utf8_text.h"

namespace vimbrel {

using platform::FirewallProfile;

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

namespace {

std::wstring ProfileText(FirewallProfile profile) {
    switch (profile) {
    case FirewallProfile::kDomain: return L"域网络";
    case FirewallProfile::kPrivate: return L"专用网络";
    case FirewallProfile::kPublic: break;
    }
    return L"公用网络";
}

const char* ProfileWord(FirewallProfile profile) {
    switch (profile) {
    case FirewallProfile::kDomain: return "domain";
    case FirewallProfile::kPrivate: return "private";
    case FirewallProfile::kPublic: break;
    }
    return "public";
}

constexpr const wchar_t* kOtherCauses = L"其他可能的原因：网线未接好，或设备在路由器另一侧的网段。";

}  // namespace

std::wstring FirewallFindingText(FirewallFinding finding, FirewallProfile profile) {
    const std::wstring where = L"（" + ProfileText(profile) + L"）";
    switch (finding) {
    case FirewallFinding::kLinux:
        return L"常见原因：网线未接好，设备在路由器另一侧的网段，或防火墙拦截了摄像机的应答"
               L"（firewalld：" +
               platform::FromUtf8(kFirewalldCommand) + L"；ufw：" +
               platform::FromUtf8(kUfwCommand) + L"）。";
    case FirewallFinding::kNotKnown:
        return L"无法读取 Windows 防火墙的设置，它可能拦截了摄像机的应答。" +
               std::wstring(kOtherCauses);
    case FirewallFinding::kOff:
        return L"Windows 防火墙在当前网络" + where + L"上已关闭，不是它拦截了应答。" + kOtherCauses;
    case FirewallFinding::kBlockRule:
        return L"Windows 防火墙有阻止 Vimbrel 的规则" + where + L"，摄像机的应答被拦截。";
    case FirewallFinding::kAllowRule:
        return L"Windows 防火墙已允许 Vimbrel" + where + L"，不是它拦截了应答。" + kOtherCauses;
    case FirewallFinding::kNoRule: {
        std::wstring text =
            L"Windows 防火墙已开启" + where + L"，没有允许 Vimbrel 的规则，摄像机的应答被拦截。";
        if (profile == FirewallProfile::kPublic)
            text += L"只有交换机、没有网关的摄像机网络是未识别的网络，Windows 把它当作公用网络。";
        return text;
    }
    }
    return {};
}

std::string FirewallFindingLine(FirewallFinding finding, FirewallProfile profile) {
    const std::string where = std::string(" (") + ProfileWord(profile) + " network)";
    const std::string fix =
        "; `vimbrel-cli firewall allow` from an administrator's prompt lets them in";
    switch (finding) {
    case FirewallFinding::kLinux:
        return std::string("a firewall may drop the cameras' replies; firewalld: ") +
               kFirewalldCommand + "; ufw: " + kUfwCommand;
    case FirewallFinding::kNotKnown:
        return "Windows Firewall's settings could not be read; it may drop the cameras' replies" +
               fix;
    case FirewallFinding::kOff:
        return "Windows Firewall is off" + where + "; it is not what drops the replies";
    case FirewallFinding::kBlockRule:
        return "Windows Firewall has a rule that blocks this program" + where +
               ": the cameras' replies are dropped" + fix;
    case FirewallFinding::kAllowRule:
        return "Windows Firewall allows this program" + where +
               "; it is not what drops the replies";
    case FirewallFinding::kNoRule:
        return "Windows Firewall is on" + where +
               " and no rule allows this program: the cameras' replies are dropped" + fix;
    }
    return {};
}

}  // namespace vimbrel
