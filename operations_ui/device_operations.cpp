#include "operations_ui/device_operations.h"

#ifdef __WXMSW__
#include <windows.h>
#include <shellapi.h>
#endif
#include <optional>
#include <string>
#include <vector>

#include <wx/utils.h>

#include "operations/address_planner.h"
#include "operations/address_rules.h"
#include "operations/batch_report.h"
#include "operations/cell_text.h"
#include "operations_ui/change_hw_modle_dlg.h"
#include "operations/device_columns.h"
#include "operations/device_identity.h"
#include "operations/device_page.h"
#include "operations/model_names.h"
#include "operations_ui/modify_ip_dlg.h"
#include "operations_ui/progress_run.h"
#include "operations_ui/selected_rows.h"
#include "platform/ipv4_text.h"
#include "protocol/command_sender.h"

namespace vimbrel {

const wchar_t* const kResourceLoadFailed = L"无法加载对话框资源，操作未执行。请重新安装程序。";

namespace {

// What one device's step did.
enum class StepResult { kSent, kNotSent, kNoAddress };

// A send that went out nowhere leaves its reason in the report.
StepResult SentOrNot(const protocol::SendReport& sent, BatchReport& report) {
    if (sent.sent > 0) return StepResult::kSent;
    NoteSendFailure(report, sent.error);
    return StepResult::kNotSent;
}

// A selected device with the identity its command will carry.
template <typename Identity>
struct Target {
    const SelectedDevice* device;
    Identity identity;
};

std::wstring NameOf(const SelectedDevice& device) {
    return DeviceName(device.serial, device.macText);
}

// The MAC text as it goes to the senders, when it reads as six octets.
std::optional<protocol::CellBuffer> MacTarget(const SelectedDevice& device) {
    const auto text = CellBufferIfFits(device.macText);
    if (!text || !MacIdentity(text->data())) return std::nullopt;
    return text;
}

std::vector<Target<protocol::CellBuffer>> MacTargets(const std::vector<SelectedDevice>& devices,
                                                     BatchReport& report) {
    std::vector<Target<protocol::CellBuffer>> targets;
    for (const SelectedDevice& device : devices) {
        if (const auto mac = MacTarget(device))
            targets.push_back({&device, *mac});
        else
            report.badMac.push_back(NameOf(device));
    }
    return targets;
}

template <typename Identity>
void Report(const std::vector<Target<Identity>>& targets, const std::vector<StepResult>& results,
            std::size_t ran, BatchReport& report);

// Runs `step` over the targets under the progress dialog and puts what did
// not happen into the report.
template <typename Identity>
void RunBatch(wxWindow* parent, const wxString& doing, const std::vector<Target<Identity>>& targets,
              const std::function<StepResult(const Target<Identity>&)>& step, BatchReport& report) {
    std::vector<StepResult> results(targets.size(), StepResult::kNotSent);
    const std::size_t ran = RunStepsWithProgress(
        parent, doing, targets.size(), [&](std::size_t i) { results[i] = step(targets[i]); });
    Report(targets, results, ran, report);
}

// Puts the targets that were not reached (from `ran` on), got no address or
// were not sent into the report.
template <typename Identity>
void Report(const std::vector<Target<Identity>>& targets, const std::vector<StepResult>& results,
            std::size_t ran, BatchReport& report) {
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::wstring name = NameOf(*targets[i].device);
        if (i >= ran)
            report.notReached.push_back(name);
        else if (results[i] == StepResult::kNoAddress)
            report.unassigned.push_back(name);
        else if (results[i] == StepResult::kNotSent)
            report.notSent.push_back(name);
    }
}

void TellReport(const BatchReport& report, const TellUser& tell) {
    if (!report.Empty()) tell(wxString(BatchReportText(report)));
}

}  // namespace

void SendCommandToSelected(wxWindow* parent, const wxListCtrl& list,
                           protocol::LocalSockets& sockets, std::int32_t command,
                           const TellUser& tell) {
    const std::vector<SelectedDevice> devices = SelectedDevices(list);
    BatchReport report;
    std::vector<Target<protocol::CellBuffer>> targets;
    for (const SelectedDevice& device : devices) {
        if (const auto serial = SerialIdentity(device.serial))
            targets.push_back({&device, *serial});
        else
            report.badSerial.push_back(NameOf(device));
    }
    RunBatch<protocol::CellBuffer>(
        parent, L"正在发送命令…", targets,
        [&](const Target<protocol::CellBuffer>& target) {
            return SentOrNot(protocol::SendCommand(sockets, command, target.identity), report);
        },
        report);
    TellReport(report, tell);
}

wxString FactoryResetQuestion(int devices) {
    return wxString::Format(L"确定要将选中的 %d 台设备恢复出厂设置吗？此操作不可撤销。", devices);
}

void FactoryResetSelected(wxWindow* parent, const wxListCtrl& list, protocol::LocalSockets& sockets,
                          const AskUser& ask, const TellUser& tell) {
    const int selected = list.GetSelectedItemCount();
    if (selected == 0 || !ask(FactoryResetQuestion(selected))) return;
    SendCommandToSelected(parent, list, sockets, protocol::CMD_FACTORY_RESET, tell);
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

bool OpenDevicePage(const wxListCtrl& list, long row,
                    const std::function<bool(const wxString&)>& open) {
    if (row < 0 || row >= list.GetItemCount()) return false;
    const auto address = DevicePageAddress(list.GetItemText(row, column::kAddress).ToStdWstring(),
                                           list.GetItemText(row, column::kPort).ToStdWstring());
    if (!address) return false;
    open(wxString(*address));
    return true;
}

std::vector<MovedDevice> AutoAssignIP(wxWindow* parent, const wxListCtrl& list,
                                      protocol::LocalSockets& sockets, platform::ArpProbe& probe,
                                      const TellUser& tell) {
    CModifyIPDlg dialog(parent, tell);  // refuses values that cannot be used
    if (!dialog.Loaded()) {
        tell(kResourceLoadFailed);
        return {};
    }
    if (dialog.ShowModal() != wxID_OK) return {};

    const std::vector<SelectedDevice> devices = SelectedDevices(list);
    BatchReport report;
    const auto targets = MacTargets(devices, report);
    const std::vector<std::uint32_t> candidates =
        AssignableCandidates(dialog.m_dwStartIP, dialog.m_dwSubnetMask, dialog.m_dwGateway);
    protocol::NetConfig block = protocol::MakeNetConfig(dialog.m_dwSubnetMask, dialog.m_dwGateway);
    // Devices that the candidates did not reach get no address.
    std::vector<StepResult> results(targets.size(), StepResult::kNoAddress);
    std::vector<std::string> given(targets.size());
    // On the worker thread: the probes run ahead, each device's command goes
    // out as its address is settled, in list order.
    const std::size_t reached = RunWithProgress(
        parent, L"正在自动分配IP地址…", targets.size(), [&](ProgressControl& control) {
            const AssignmentProgress progress = AssignAddresses(
                candidates, targets.size(), probe,
                [&](std::size_t i, std::uint32_t address) {
                    given[i] = platform::FormatIPv4(address);
                    protocol::SetNetConfigAddress(block, given[i].c_str());
                    results[i] = SentOrNot(
                        protocol::SendSetNetwork(sockets, block, targets[i].identity.data()),
                        report);
                    control.Done(i + 1);
                },
                [&] { return !control.Cancelled(); });
            return progress.cancelled ? progress.assigned : targets.size();
        });
    Report(targets, results, reached, report);
    TellReport(report, tell);
    std::vector<MovedDevice> moved;
    for (std::size_t i = 0; i < reached && i < targets.size(); ++i)
        if (results[i] == StepResult::kSent)
            moved.push_back({NameOf(*targets[i].device), targets[i].device->macText,
                             std::wstring(given[i].begin(), given[i].end())});
    return moved;
}

void ChangeModel(wxWindow* parent, const wxListCtrl& list, protocol::LocalSockets& sockets,
                 const TellUser& tell) {
    CChangeHwModleDlg dialog(parent);
    if (!dialog.Loaded()) {
        tell(kResourceLoadFailed);
        return;
    }
    if (dialog.ShowModal() != wxID_OK) return;

    const char* model = MatchModelName(ToCellBuffer(dialog.m_strModel.ToStdWstring()));
    if (!model) return;
    const std::vector<SelectedDevice> devices = SelectedDevices(list);
    BatchReport report;
    const auto targets = MacTargets(devices, report);
    RunBatch<protocol::CellBuffer>(
        parent, L"正在修改产品型号…", targets,
        [&](const Target<protocol::CellBuffer>& target) {
            return SentOrNot(protocol::SendSetModel(sockets, target.identity.data(), model),
                             report);
        },
        report);
    TellReport(report, tell);
}

}  // namespace vimbrel
