#include "app/marks_words.h"

#include <wx/translation.h>

#include "platform/ipv4_text.h"

namespace vimbrel {

namespace {

wxString AddressText(std::uint32_t address) {
    return wxString::FromUTF8(platform::FormatIPv4(address));
}

}  // namespace

wxString RowInfoWords(const MarkedRow& row, const RowMarks& marks) {
    const wxString via = row.localAddress
                             ? wxString::Format(_(L"经 %s 收到"), AddressText(row.localAddress))
                             : _(L"收到它的本机地址不详");
    const int others = marks.sameIpOthers;
    if (!marks.otherSubnet)
        return others > 0 ? wxString::Format(_(L"IP地址与另外 %d 台设备相同（%s）"), others, via)
                          : via;
    const wxString otherSubnet = wxString::Format(
        _(L"不在本机网段（%s），网页无法直接打开；可用“自动分配IP”改到本机网段"), via);
    return others > 0 ? wxString::Format(_(L"IP地址与另外 %d 台设备相同；%s"), others, otherSubnet)
                      : otherSubnet;
}

wxString MarkCountsWords(const MarkCounts& counts) {
    wxString text;
    if (counts.sameIp > 0) text = wxString::Format(_(L"IP重复 %zu 台"), counts.sameIp);
    if (counts.otherSubnet > 0)
        text += (text.empty() ? L"" : L"\n") +
                wxString::Format(_(L"不在本机网段 %zu 台"), counts.otherSubnet);
    return text;
}

wxString NothingFoundWords(const std::vector<std::uint32_t>& localAddresses) {
    wxString list;
    for (std::uint32_t address : localAddresses)
        list += (list.empty() ? L"" : _(L"、")) + AddressText(address);
    const wxString where = list.empty()
                               ? _(L"没有可用的本机地址，搜索未发出。")
                               : wxString::Format(_(L"搜索经 %s 发出，没有设备应答。"), list);
    return where;
}

wxString FirewallFindingWords(FirewallFinding finding, platform::FirewallProfile profile) {
    wxString network = _(L"公用网络");
    if (profile == platform::FirewallProfile::kDomain) network = _(L"域网络");
    if (profile == platform::FirewallProfile::kPrivate) network = _(L"专用网络");
    const wxString otherCauses = _(L"其他可能的原因：网线未接好，或设备在路由器另一侧的网段。");
    switch (finding) {
    case FirewallFinding::kLinux:
        // clang-format off
        return wxString::Format(_(L"常见原因：网线未接好，设备在路由器另一侧的网段，或防火墙拦截了摄像机的应答（firewalld：%s；ufw：%s）。"),
                                kFirewalldCommand, kUfwCommand);
        // clang-format on
    case FirewallFinding::kNotKnown:
        return _(L"无法读取 Windows 防火墙的设置，它可能拦截了摄像机的应答。") + otherCauses;
    case FirewallFinding::kOff:
        return wxString::Format(_(L"Windows 防火墙在当前网络（%s）上已关闭，不是它拦截了应答。"),
                                network) +
               otherCauses;
    case FirewallFinding::kBlockRule:
        return wxString::Format(
            _(L"Windows 防火墙有阻止 Vimbrel 的规则（%s），摄像机的应答被拦截。"), network);
    case FirewallFinding::kAllowRule:
        return wxString::Format(_(L"Windows 防火墙已允许 Vimbrel（%s），不是它拦截了应答。"),
                                network) +
               otherCauses;
    case FirewallFinding::kNoRule: {
        wxString text = wxString::Format(
            _(L"Windows 防火墙已开启（%s），没有允许 Vimbrel 的规则，摄像机的应答被拦截。"),
            network);
        if (profile == platform::FirewallProfile::kPublic)
            text +=
                _(L"只有交换机、没有网关的摄像机网络是未识别的网络，Windows 把它当作公用网络。");
        return text;
    }
    }
    return {};
}

}  // namespace vimbrel
