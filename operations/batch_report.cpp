#include "operations/batch_report.h"

#include "platform/utf8_text.h"

namespace vimbrel {

namespace {

void AddGroup(std::wstring& text, const std::vector<std::wstring>& devices, const wchar_t* what) {
    if (devices.empty()) return;
    if (!text.empty()) text += L"\n";
    text += std::to_wstring(devices.size()) + L" " + what + L"：";
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (i > 0) text += L"、";
        text += devices[i];
    }
}

}  // namespace

bool BatchReport::Empty() const {
    return unassigned.empty() && badSerial.empty() && badMac.empty() && notSent.empty() &&
           notReached.empty() && addressTaken.empty() && notAnswering.empty();
}

std::wstring BatchReportText(const BatchReport& report) {
    std::wstring text;
    AddGroup(text, report.unassigned, L"台设备未分配到IP地址");
    AddGroup(text, report.badSerial, L"台设备的生产系列号过长，无法写入命令，未发送");
    AddGroup(text, report.badMac, L"台设备的MAC地址无法识别，未发送");
    const std::wstring notSent = report.sendFailure.empty()
                                     ? L"台设备的命令未能发出（本机没有IPv4地址或发送失败）"
                                     : L"台设备的命令未能发出（原因：" + report.sendFailure + L"）";
    AddGroup(text, report.notSent, notSent.c_str());
    AddGroup(text, report.notReached, L"台设备因取消而未处理");
    AddGroup(text, report.addressTaken, L"台设备的新地址已被其他主机占用，未发送");
    AddGroup(text, report.notAnswering, L"台设备未在新地址上应答");
    return text;
}

void NoteSendFailure(BatchReport& report, const platform::SocketError& error) {
    if (report.sendFailure.empty() && error) report.sendFailure = platform::FromUtf8(error.text);
}

std::wstring AssignmentInputFaultText(AssignmentInputFault fault) {
    // The start address and the gateway are refused for the same reasons.
    const std::wstring notUnicast =
        L"不能是 0.x.x.x、127.x.x.x、组播地址（224-239）或保留地址（240-255）。未发送任何命令。";
    const std::wstring networkOrBroadcast = L"不能是其网段的网络地址或广播地址。未发送任何命令。";
    switch (fault) {
    case AssignmentInputFault::kNone: return {};
    case AssignmentInputFault::kMaskNotContiguous:
        return L"子网掩码无效：必须是连续的掩码，例如 255.255.255.0。未发送任何命令。";
    case AssignmentInputFault::kMaskLeavesNoHost:
        return L"子网掩码无效：/31 或 /32 的网段除网关外没有可分配给设备的地址。未发送任何命令。";
    case AssignmentInputFault::kStartNotUnicast: return L"开始IP地址无效：" + notUnicast;
    case AssignmentInputFault::kStartNetworkOrBroadcast:
        return L"开始IP地址无效：" + networkOrBroadcast;
    case AssignmentInputFault::kGatewayNotUnicast: return L"默认网关无效：" + notUnicast;
    case AssignmentInputFault::kGatewayNetworkOrBroadcast:
        return L"默认网关无效：" + networkOrBroadcast;
    case AssignmentInputFault::kGatewayOutsideNetwork:
        return L"开始IP地址与默认网关不在同一网段。未发送任何命令。";
    }
    return {};
}

std::wstring DeviceName(const std::wstring& serial, const std::wstring& macText) {
    return serial.empty() ? macText : serial;
}

}  // namespace vimbrel
