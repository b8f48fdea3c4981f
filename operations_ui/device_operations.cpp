#include "operations_ui/device_operations.h"

#ifdef __WXMSW__
#include <windows.h>
#include <shellapi.h>
#endif
#include <string>
#include <vector>

#include <wx/utils.h>

#include "operations/batch_report.h"
#include "operations_ui/report_words.h"
#include "protocol/cell_text.h"
#include "operations_ui/change_hw_modle_dlg.h"
#include "operations/device_page.h"
#include "operations/model_names.h"
#include "operations_ui/modify_ip_dlg.h"
#include "operations_ui/off_link_question.h"
#include "operations_ui/progress_run.h"
#include "operations_ui/selected_rows.h"
#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"

namespace vimbrel {

wxString ResourceLoadFailed() { return _(L"无法加载对话框资源，操作未执行。请重新安装程序。"); }

namespace {

void TellReport(const BatchReport& report, const TellUser& tell) {
    if (!report.Empty()) tell(BatchReportWords(report));
}

}  // namespace

void SendCommandToSelected(wxWindow* parent, const CSortListCtrl& list, DeviceSession& session,
                           std::int32_t command, const TellUser& tell) {
    const CommandPlan plan =
        PlanCommand(command, PlanDevicesOf(SelectedTableRows(list, session.Table())));
    std::vector<TargetOutcome> outcomes;
    RunWithProgress(parent, _(L"正在发送命令…"), plan.targets.size(),
                    [&](PlanProgress& progress) { outcomes = session.RunCommand(plan, progress); });
    TellReport(ReportOf(plan, outcomes), tell);
}

wxString FactoryResetQuestion(int devices) {
    return wxString::Format(_(L"确定要将选中的 %d 台设备恢复出厂设置吗？此操作不可撤销。"),
                            devices);
}

void FactoryResetSelected(wxWindow* parent, const CSortListCtrl& list, DeviceSession& session,
                          const AskUser& ask, const TellUser& tell) {
    const int selected = list.GetSelectedItemCount();
    if (selected == 0 || !ask(FactoryResetQuestion(selected))) return;
    SendCommandToSelected(parent, list, session, protocol::CMD_FACTORY_RESET, tell);
}

bool OpenInDefaultBrowser(const wxString& address) {
#ifdef __WXMSW__
    const auto result =
        ShellExecuteW(nullptr, L"open", address.wc_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    return reinterpret_cast<INT_PTR>(result) > 32;
#else
    return wxLaunchDefaultBrowser(address);
#endif
}

bool OpenDevicePage(const CSortListCtrl& list, const DeviceTable& table, long row,
                    const std::function<bool(const wxString&)>& open, const TellUser& tell) {
    const TableRow* device = RowOf(list, row, table);
    if (device == nullptr) return false;
    const auto address = DevicePageAddress(device->device.ip, device->device.port);
    if (!address) return false;
    if (!open(wxString(*address))) tell(wxString::Format(_(L"无法打开网页 %s"), *address));
    return true;
}

std::vector<MovedDevice> AutoAssignIP(wxWindow* parent, const CSortListCtrl& list,
                                      DeviceSession& session, platform::ArpProbe& probe,
                                      const AskUser& ask, const TellUser& tell) {
    CModifyIPDlg dialog(parent, tell);  // refuses values that cannot be used
    if (!dialog.Loaded()) {
        tell(ResourceLoadFailed());
        return {};
    }
    if (dialog.ShowModal() != wxID_OK) return {};

    const std::vector<TableRow> rows = SelectedTableRows(list, session.Table());
    const MacPlan plan = PlanByMac(PlanDevicesOf(rows));
    const AssignmentInput input{dialog.m_dwStartIP, dialog.m_dwSubnetMask, dialog.m_dwGateway};
    // Every candidate lies in the start address's network: ask before moving
    // devices off the network they answered through.
    std::vector<MoveTarget> moves;
    std::vector<std::wstring> names;
    for (const auto& target : plan.targets) {
        const PlanDevice& device = plan.devices[target.device];
        moves.push_back({rows[target.device].localAddress, input.start, input.mask});
        names.push_back(DeviceName(device.serial, device.mac));
    }
    if (!AgreedToOffLinkMoves(moves, names, ask)) return {};
    std::vector<TargetOutcome> outcomes;
    RunWithProgress(parent, _(L"正在自动分配IP地址…"), plan.targets.size(),
                    [&](PlanProgress& progress) {
                        outcomes = session.RunAssignment(plan, input, probe, progress);
                    });
    TellReport(ReportOf(plan, outcomes), tell);
    std::vector<MovedDevice> moved;
    for (std::size_t i = 0; i < plan.targets.size() && i < outcomes.size(); ++i) {
        if (outcomes[i].outcome != Outcome::kSent) continue;
        moved.push_back({rows[i], plan.targets[i].identity.Bytes(), outcomes[i].address});
    }
    return moved;
}

void ChangeModel(wxWindow* parent, const CSortListCtrl& list, DeviceSession& session,
                 const TellUser& tell) {
    CChangeHwModleDlg dialog(parent);
    if (!dialog.Loaded()) {
        tell(ResourceLoadFailed());
        return;
    }
    if (dialog.ShowModal() != wxID_OK) return;

    const char* model = MatchModelName(ToCellBuffer(dialog.m_strModel.ToStdWstring()));
    if (!model) {
        tell(wxString::Format(_(L"不是已知的产品型号：%s"), dialog.m_strModel));
        return;
    }
    const MacPlan plan = PlanByMac(PlanDevicesOf(SelectedTableRows(list, session.Table())));
    std::vector<TargetOutcome> outcomes;
    RunWithProgress(
        parent, _(L"正在修改产品型号…"), plan.targets.size(),
        [&](PlanProgress& progress) { outcomes = session.RunSetModel(plan, model, progress); });
    TellReport(ReportOf(plan, outcomes), tell);
}

}  // namespace vimbrel
