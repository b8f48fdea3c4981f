#include "operations_ui/plan_assignment.h"

#include <optional>
#include <string>

#include <wx/ffile.h>
#include <wx/log.h>

#include "operations/address_plan.h"
#include "operations/batch_report.h"
#include "operations_ui/report_words.h"
#include "operations/device_columns.h"
#include "protocol/device_identity.h"
#include "controls_ui/translations.h"
#include "operations_ui/progress_run.h"
#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"
#include "protocol/command_sender.h"

namespace vimbrel {

namespace {

// The progress dialog of the address plan's sweep: `before` rows are done
// before it starts.
class SweepProgress final : public PlanProgress {
public:
    SweepProgress(ProgressControl& control, std::size_t before)
        : m_control(control), m_count(before) {
        m_control.Done(m_count);
    }
    void Done(std::size_t, const TargetOutcome&) override { m_control.Done(++m_count); }
    bool Cancelled() override { return m_control.Cancelled(); }
    std::size_t Count() const { return m_count; }

private:
    ProgressControl& m_control;
    std::size_t m_count;
};

// A plan line with the row it names.
struct PlanRow {
    const PlanEntry* entry;
    std::wstring name, macText, currentIp;
    protocol::MacIdentity mac;
};

std::optional<std::string> ReadPlanFile(const wxString& path) {
    const wxLogNull quiet;  // said by the caller
    wxFFile file(path, "rb");
    if (!file.IsOpened()) return std::nullopt;
    const wxFileOffset length = file.Length();
    if (length < 0) return std::nullopt;
    std::string text(static_cast<std::size_t>(length), '\0');
    if (file.Read(text.data(), text.size()) != text.size()) return std::nullopt;
    return text;
}

wxString LineText(std::size_t line) {
    return line ? wxString::Format(_(L"第 %zu 行："), line) : wxString();
}

std::wstring Cell(const wxListCtrl& list, long row, int column) {
    return list.GetItemText(row, column).ToStdWstring();
}

// The rows the plan's lines name, or the lines no single row answers to.
std::vector<PlanRow> MatchRows(const AddressPlan& plan, const wxListCtrl& list, wxString& errors) {
    std::vector<PlanRow> rows;
    for (const PlanEntry& entry : plan.entries) {
        std::vector<long> named;
        for (long row = 0; row < list.GetItemCount(); ++row) {
            const std::wstring mac = Cell(list, row, column::kMac);
            const auto rowMac = protocol::CheckMacIdentity(mac);
            const bool match = entry.byMac ? rowMac && rowMac->Bytes() == entry.mac
                                           : Cell(list, row, column::kSerial) == entry.serial;
            if (match) named.push_back(row);
        }
        const std::wstring identity = platform::FromUtf8(entry.identityText);
        if (named.empty()) {
            errors += LineText(entry.line) +
                      wxString::Format(_(L"列表中没有 %s 这台设备"), wxString(identity)) + "\n";
            continue;
        }
        if (named.size() > 1) {
            errors += LineText(entry.line) +
                      wxString::Format(_(L"列表中有 %zu 台设备的生产系列号是 %s，请用MAC地址列"),
                                       named.size(), wxString(identity)) +
                      "\n";
            continue;
        }
        const long row = named[0];
        const std::wstring macText = Cell(list, row, column::kMac);
        const auto mac = protocol::CheckMacIdentity(macText);
        if (!mac) {
            errors += LineText(entry.line) + _(L"设备的MAC地址无法识别") + "\n";
            continue;
        }
        rows.push_back({&entry, DeviceName(Cell(list, row, column::kSerial), macText), macText,
                        Cell(list, row, column::kAddress), *mac});
    }
    return rows;
}

}  // namespace

std::vector<MovedDevice> AssignFromPlan(wxWindow* parent, const wxListCtrl& list,
                                        DeviceSession& session, platform::ArpProbe& probe,
                                        const wxString& planFile, const AskUser& ask,
                                        const TellUser& tell) {
    const std::optional<std::string> text = ReadPlanFile(planFile);
    if (!text) {
        tell(wxString::Format(_(L"无法读取地址表“%s”，未发送任何命令。"), planFile));
        return {};
    }
    const AddressPlan plan = ReadAddressPlan(*text, {});
    wxString errors;
    for (const PlanError& e : plan.errors) errors += LineText(e.line) + PlanErrorWords(e) + "\n";
    std::vector<PlanRow> rows;
    if (errors.empty()) rows = MatchRows(plan, list, errors);
    if (!errors.empty()) {
        tell(_(L"地址表有误，未发送任何命令：") + "\n" + errors);
        return {};
    }

    wxString preview =
        wxString::Format(_(L"将按地址表修改以下 %zu 台设备的IP地址："), rows.size()) + "\n";
    for (const PlanRow& row : rows)
        preview += row.name + L"  " + row.currentIp + L" → " +
                   platform::FromUtf8(platform::FormatIPv4(row.entry->newIp)) + L"\n";
    if (!ask(preview + _(L"确定发送吗？"))) return {};

    std::vector<PlanTarget> targets;
    targets.reserve(rows.size());
    for (const PlanRow& row : rows) targets.push_back({row.entry->newIp, row.currentIp});
    std::vector<std::wstring> listed;
    for (long row = 0; row < list.GetItemCount(); ++row)
        listed.push_back(Cell(list, row, column::kAddress));

    enum class LineOutcome { kNotReached, kTaken, kNotSent, kSent };
    std::vector<LineOutcome> outcomes(rows.size(), LineOutcome::kNotReached);
    BatchReport report;
    RunWithProgress(
        parent, _(L"正在按地址表分配IP地址…"), rows.size(), [&](ProgressControl& control) {
            const DeviceSession::SendTurn turn = session.TakeSendTurn();
            const std::vector<bool> taken = NewAddressesTaken(targets, listed, probe);
            std::vector<DeviceSession::NetworkSend> sends;
            std::vector<std::size_t> rowOf;  // the row of each send
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const PlanEntry& entry = *rows[i].entry;
                if (taken[i]) {
                    outcomes[i] = LineOutcome::kTaken;
                    continue;
                }
                protocol::NetConfig block = protocol::MakeNetConfig(entry.mask, entry.gateway);
                protocol::SetNetConfigAddress(block, platform::FormatIPv4(entry.newIp).c_str());
                sends.push_back({block, rows[i].mac});
                rowOf.push_back(i);
            }
            // The taken rows are done at once; each sent row as its sweep tells.
            SweepProgress progress(control, rows.size() - sends.size());
            const std::vector<TargetOutcome> sent = session.RunSetNetwork(turn, sends, progress);
            for (std::size_t k = 0; k < sent.size(); ++k) {
                if (sent[k].outcome == Outcome::kNotReached) continue;
                const bool went = sent[k].outcome == Outcome::kSent;
                outcomes[rowOf[k]] = went ? LineOutcome::kSent : LineOutcome::kNotSent;
                if (!went) NoteSendFailure(report, sent[k].error);
            }
            return progress.Count();
        });

    std::vector<MovedDevice> moved;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        switch (outcomes[i]) {
        case LineOutcome::kNotReached: report.notReached.push_back(rows[i].name); break;
        case LineOutcome::kTaken: report.addressTaken.push_back(rows[i].name); break;
        case LineOutcome::kNotSent: report.notSent.push_back(rows[i].name); break;
        case LineOutcome::kSent:
            moved.push_back({rows[i].name, rows[i].macText,
                             platform::FromUtf8(platform::FormatIPv4(rows[i].entry->newIp))});
            break;
        }
    }
    if (!report.Empty()) tell(BatchReportWords(report));
    return moved;
}

}  // namespace vimbrel
