#include "operations_ui/plan_assignment.h"

#include <optional>
#include <string>

#include <wx/ffile.h>
#include <wx/log.h>

#include "controls_ui/translations.h"
#include "operations/address_plan.h"
#include "operations/batch_report.h"
#include "operations_ui/off_link_question.h"
#include "operations_ui/progress_run.h"
#include "operations_ui/report_words.h"
#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"
#include "session/address_plan_run.h"
#include "session/match_plan.h"

namespace vimbrel {

namespace {

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

// The lines no single row answers to, in the window's language.
wxString MatchErrorWords(const std::vector<PlanMatchError>& errors) {
    wxString words;
    for (const PlanMatchError& e : errors) {
        const wxString identity(platform::FromUtf8(e.identity));
        words += LineText(e.line);
        switch (e.fault) {
        case PlanMatchFault::kNoRow:
            words += wxString::Format(_(L"列表中没有 %s 这台设备"), identity);
            break;
        case PlanMatchFault::kSerialShared:
            words += wxString::Format(_(L"列表中有 %zu 台设备的生产系列号是 %s，请用MAC地址列"),
                                      e.count, identity);
            break;
        case PlanMatchFault::kMacUnusable: words += _(L"设备的MAC地址无法识别"); break;
        }
        words += "\n";
    }
    return words;
}

std::wstring NameOf(const TableRow& row) { return DeviceName(row.device.serial, row.device.mac); }

}  // namespace

std::vector<MovedDevice> AssignFromPlan(wxWindow* parent, DeviceSession& session,
                                        platform::ArpProbe& probe, const wxString& planFile,
                                        const AskUser& ask, const TellUser& tell) {
    wxASSERT(wxIsMainThread());
    const std::optional<std::string> text = ReadPlanFile(planFile);
    if (!text) {
        tell(wxString::Format(_(L"无法读取地址表“%s”，未发送任何命令。"), planFile));
        return {};
    }
    const AddressPlan plan = ReadAddressPlan(*text, {});
    wxString errors;
    for (const PlanError& e : plan.errors) errors += LineText(e.line) + PlanErrorWords(e) + "\n";
    // The rows as they stand now: the list may change while the plan runs.
    const std::vector<TableRow> rows = session.Table().Rows();
    PlanMatching matching;
    if (errors.empty()) {
        matching = MatchPlan(plan, rows);
        errors = MatchErrorWords(matching.errors);
    }
    if (!errors.empty()) {
        tell(_(L"地址表有误，未发送任何命令：") + "\n" + errors);
        return {};
    }
    const std::vector<PlanMatch>& matches = matching.matches;

    wxString preview =
        wxString::Format(_(L"将按地址表修改以下 %zu 台设备的IP地址："), matches.size()) + "\n";
    for (const PlanMatch& match : matches)
        preview += NameOf(rows[match.row]) + L"  " + rows[match.row].device.ip + L" → " +
                   platform::FromUtf8(platform::FormatIPv4(match.entry->newIp)) + L"\n";
    if (!ask(preview + _(L"确定发送吗？"))) return {};

    std::vector<MoveTarget> moves;
    std::vector<std::wstring> names;
    for (const PlanMatch& match : matches) {
        moves.push_back({rows[match.row].localAddress, match.entry->newIp, match.entry->mask});
        names.push_back(NameOf(rows[match.row]));
    }
    if (!AgreedToOffLinkMoves(moves, names, ask)) return {};

    std::vector<TargetOutcome> outcomes(matches.size());
    RunWithProgress(parent, _(L"正在按地址表分配IP地址…"), matches.size(),
                    [&](PlanProgress& progress) {
                        outcomes = RunAddressPlan(session, matches, rows, probe, progress);
                    });

    BatchReport report;
    std::vector<MovedDevice> moved;
    for (std::size_t i = 0; i < matches.size(); ++i) {
        const TableRow& row = rows[matches[i].row];
        switch (outcomes[i].outcome) {
        case Outcome::kSent:
            moved.push_back({row, matches[i].mac.Bytes(), matches[i].entry->newIp});
            break;
        case Outcome::kAddressTaken: report.addressTaken.push_back(NameOf(row)); break;
        case Outcome::kNotSent:
            report.notSent.push_back(NameOf(row));
            NoteSendFailure(report, outcomes[i].error);
            break;
        default: report.notReached.push_back(NameOf(row)); break;
        }
    }
    if (!report.Empty()) tell(BatchReportWords(report));
    return moved;
}

}  // namespace vimbrel
