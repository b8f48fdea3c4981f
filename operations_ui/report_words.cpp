#include "operations_ui/report_words.h"

#include <wx/translation.h>

namespace vimbrel {

namespace {

wxString Names(const std::vector<std::wstring>& devices) {
    wxString names;
    for (std::size_t i = 0; i < devices.size(); ++i)
        names += (i > 0 ? _(L"、") : wxString()) + wxString(devices[i]);
    return names;
}

// A line for the group when it has devices: `format` takes the count and
// the devices' names.
void AddGroup(wxString& text, const std::vector<std::wstring>& devices, const wxString& format) {
    if (devices.empty()) return;
    if (!text.empty()) text += L"\n";
    text += wxString::Format(format, devices.size(), Names(devices));
}

}  // namespace

wxString BatchReportWords(const BatchReport& report) {
    wxString text;
    AddGroup(text, report.unassigned, _(L"%zu 台设备未分配到IP地址：%s"));
    AddGroup(text, report.badSerial, _(L"%zu 台设备的生产系列号过长，无法写入命令，未发送：%s"));
    AddGroup(text, report.badMac, _(L"%zu 台设备的MAC地址无法识别，未发送：%s"));
    if (report.sendFailure.empty()) {
        AddGroup(text, report.notSent,
                 _(L"%zu 台设备的命令未能发出（本机没有IPv4地址或发送失败）：%s"));
    } else if (!report.notSent.empty()) {
        if (!text.empty()) text += L"\n";
        text +=
            wxString::Format(_(L"%zu 台设备的命令未能发出（原因：%s）：%s"), report.notSent.size(),
                             wxString(report.sendFailure), Names(report.notSent));
    }
    AddGroup(text, report.notReached, _(L"%zu 台设备因取消而未处理：%s"));
    AddGroup(text, report.addressTaken, _(L"%zu 台设备的新地址已被其他主机占用，未发送：%s"));
    AddGroup(text, report.notAnswering, _(L"%zu 台设备未在新地址上应答：%s"));
    return text;
}

// Each text whole on its line, where the catalogs' tools find it.
// clang-format off
wxString AssignmentInputFaultWords(AssignmentInputFault fault) {
    switch (fault) {
    case AssignmentInputFault::kNone: return {};
    case AssignmentInputFault::kMaskNotContiguous:
        return _(L"子网掩码无效：必须是连续的掩码，例如 255.255.255.0。未发送任何命令。");
    case AssignmentInputFault::kMaskLeavesNoHost:
        return _(L"子网掩码无效：/31 或 /32 的网段除网关外没有可分配给设备的地址。未发送任何命令。");
    case AssignmentInputFault::kStartNotUnicast:
        return _(L"开始IP地址无效：不能是 0.x.x.x、127.x.x.x、组播地址（224-239）或保留地址（240-255）。未发送任何命令。");
    case AssignmentInputFault::kStartNetworkOrBroadcast:
        return _(L"开始IP地址无效：不能是其网段的网络地址或广播地址。未发送任何命令。");
    case AssignmentInputFault::kGatewayNotUnicast:
        return _(L"默认网关无效：不能是 0.x.x.x、127.x.x.x、组播地址（224-239）或保留地址（240-255）。未发送任何命令。");
    case AssignmentInputFault::kGatewayNetworkOrBroadcast:
        return _(L"默认网关无效：不能是其网段的网络地址或广播地址。未发送任何命令。");
    case AssignmentInputFault::kGatewayOutsideNetwork:
        return _(L"开始IP地址与默认网关不在同一网段。未发送任何命令。");
    }
    return {};
}

namespace {

// A rule's fault on a plan line, with the line's new_ip, mask and gateway.
wxString PlanRuleWords(const PlanError& error) {
    const wxString ip = wxString::FromUTF8(error.text);
    const wxString mask = wxString::FromUTF8(error.mask);
    const wxString gateway = wxString::FromUTF8(error.gateway);
    switch (error.rule) {
    case AssignmentInputFault::kNone: break;
    case AssignmentInputFault::kMaskNotContiguous:
        return wxString::Format(_(L"子网掩码 %s 无效：必须是连续的掩码"), mask);
    case AssignmentInputFault::kMaskLeavesNoHost:
        return wxString::Format(_(L"子网掩码 %s 无效：除网关外没有可分配给设备的地址"), mask);
    case AssignmentInputFault::kStartNotUnicast:
        return wxString::Format(_(L"new_ip %s 不能用：不能是 0.x.x.x、127.x.x.x、组播地址（224-239）或保留地址（240-255）"), ip);
    case AssignmentInputFault::kStartNetworkOrBroadcast:
        return wxString::Format(_(L"new_ip %s 是其网段的网络地址或广播地址"), ip);
    case AssignmentInputFault::kGatewayNotUnicast:
        return wxString::Format(_(L"网关 %s 不能用：不能是 0.x.x.x、127.x.x.x、组播地址（224-239）或保留地址（240-255）"), gateway);
    case AssignmentInputFault::kGatewayNetworkOrBroadcast:
        return wxString::Format(_(L"网关 %s 是其网段的网络地址或广播地址"), gateway);
    case AssignmentInputFault::kGatewayOutsideNetwork:
        return wxString::Format(_(L"网关 %s 与 %s 不在同一网段"), gateway, ip);
    }
    return {};
}

}  // namespace

wxString PlanErrorWords(const PlanError& error) {
    const wxString text = wxString::FromUTF8(error.text);
    const wxString quoted = L"'" + text + L"'";
    switch (error.fault) {
    case PlanFault::kEmptyFile: return _(L"文件是空的");
    case PlanFault::kNoIdentityColumn: return _(L"标题行没有 mac 或 serial 列");
    case PlanFault::kNoNewIpColumn: return _(L"标题行没有 new_ip 列");
    case PlanFault::kNoEntry: return _(L"没有一行填了 new_ip");
    case PlanFault::kCsvQuoteNotClosed: return _(L"CSV格式有误（带引号的字段没有结束）");
    case PlanFault::kCsvTextAfterQuote: return _(L"CSV格式有误（右引号后还有文字）");
    case PlanFault::kMalformedMac:
        return wxString::Format(_(L"MAC地址 %s 无法识别（应为 XX:XX:XX:XX:XX:XX）"), quoted);
    case PlanFault::kEmptySerial: return _(L"生产系列号为空");
    case PlanFault::kSerialNotUtf8: return _(L"生产系列号不是有效的UTF-8文本");
    case PlanFault::kSerialTooLong: return wxString::Format(_(L"生产系列号 %s 过长"), quoted);
    case PlanFault::kMalformedAddress: {
        const wxString field = error.field == PlanField::kMask      ? L"mask"
                               : error.field == PlanField::kGateway ? L"gateway"
                                                                    : L"new_ip";
        return wxString::Format(_(L"%s %s 不是IPv4地址"), field, quoted);
    }
    case PlanFault::kNoMask: return _(L"没有子网掩码（mask 列）");
    case PlanFault::kNoGateway: return _(L"没有网关（gateway 列）");
    case PlanFault::kAddressRule: return PlanRuleWords(error);
    case PlanFault::kNewIpIsGateway: return wxString::Format(_(L"new_ip %s 是网关地址"), text);
    case PlanFault::kSameIdentity:
        return error.byMac
                   ? wxString::Format(_(L"MAC地址 %s 与第 %zu 行重复"), quoted, error.otherLine)
                   : wxString::Format(_(L"生产系列号 %s 与第 %zu 行重复"), quoted, error.otherLine);
    case PlanFault::kSameNewIp:
        return wxString::Format(_(L"new_ip %s 与第 %zu 行重复"), text, error.otherLine);
    }
    return {};
}
// clang-format on

}  // namespace vimbrel
