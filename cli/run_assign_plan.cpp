// assign-ip --plan FILE: the addresses a CSV file gives each camera. The
// whole plan is checked first, in the file and against the cameras that
// answer the search (MatchPlan), and refused when it moves cameras off the
// network they answered through (unless --yes); then the session runs it
// (RunAddressPlan): each new address is probed, and a camera whose new
// address some other host answers for is left alone. After the
// commands, the search that confirms the new addresses.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "cli/exit_codes.h"
#include "cli/runs.h"
#include "cli/utf8_text.h"
#include "cli/words.h"
#include "operations/address_plan.h"
#include "platform/ipv4_text.h"
#include "session/address_plan_run.h"
#include "session/match_plan.h"

namespace vimbrel::cli {

namespace {

std::optional<std::string> ReadFile(const std::string& utf8Name) {
    std::ifstream file(std::filesystem::path(std::u8string(utf8Name.begin(), utf8Name.end())),
                       std::ios::binary);
    if (!file) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return std::nullopt;
    return text;
}

std::string Place(const std::string& file, std::size_t line) {
    return EchoText(file) + (line ? " line " + std::to_string(line) : std::string()) + ": ";
}

// A plan line that names no camera it can go to, and why.
struct MatchError {
    std::size_t line;
    std::string reason;
};

// The plan's lines no single camera answers to, in the command line's words.
std::vector<MatchError> MatchErrors(const PlanMatching& matching,
                                    const std::vector<TableRow>& found) {
    std::vector<MatchError> errors;
    for (const PlanMatchError& e : matching.errors) {
        const std::string identity = (e.byMac ? "MAC " : "serial ") + EchoText(e.identity);
        switch (e.fault) {
        case PlanMatchFault::kNoRow:
            errors.push_back({e.line, "no camera answered for " + identity});
            break;
        case PlanMatchFault::kSerialShared:
            errors.push_back({e.line, std::to_string(e.count) + " cameras report " + identity +
                                          "; name them by mac"});
            break;
        case PlanMatchFault::kMacUnusable:
            errors.push_back(
                {e.line, Describe(found[e.row]) + ": its MAC address names no device"});
            break;
        }
    }
    return errors;
}

// Each line as it is settled: a taken address and a failed send on stderr,
// the rest on stdout; the cameras sent to are kept for the confirming search.
class PlanLines final : public PlanProgress {
public:
    PlanLines(const CommandLine& line, const std::vector<PlanMatch>& matches,
              const std::vector<TableRow>& found, std::ostream& out, std::ostream& err)
        : m_line(line), m_matches(matches), m_found(found), m_out(out), m_err(err) {}
    void Done(std::size_t i, const TargetOutcome& outcome) override {
        const PlanMatch& match = m_matches[i];
        const TableRow& camera = m_found[match.row];
        const std::string address = platform::FormatIPv4(match.entry->newIp);
        switch (outcome.outcome) {
        case Outcome::kAddressTaken:
            m_err << "vimbrel-cli: " << Place(m_line.plan, match.entry->line) << Describe(camera)
                  << ": another host answers for " << address << "; nothing sent to it\n";
            failed = true;
            break;
        case Outcome::kPlanned: m_out << Describe(camera) << " -> " << address << '\n'; break;
        case Outcome::kSent:
            m_out << Describe(camera) << " -> " << address << " sent" << std::endl;
            moved.push_back({camera, match.mac.Bytes(), match.entry->newIp});
            break;
        default:
            m_err << "vimbrel-cli: " << Describe(camera) << " -> " << address
                  << ": the command could not be sent" << ReasonText(outcome.error) << '\n';
            failed = true;
            break;
        }
    }
    std::vector<MovedDevice> moved;
    bool failed = false;

private:
    const CommandLine& m_line;
    const std::vector<PlanMatch>& m_matches;
    const std::vector<TableRow>& m_found;
    std::ostream& m_out;
    std::ostream& m_err;
};

}  // namespace

int RunAssignPlan(const CommandLine& line, const CheckedInput& input, CameraSearch& search,
                  platform::ArpProbe& probe, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> text = ReadFile(line.plan);
    if (!text) {
        err << "vimbrel-cli: cannot read the address plan " << EchoText(line.plan) << '\n';
        return kExitUsage;
    }
    const AddressPlan plan = ReadAddressPlan(*text, {input.planMask, input.planGateway});
    auto tellErrors = [&](const std::vector<MatchError>& errors) {
        for (const MatchError& e : errors)
            err << "vimbrel-cli: " << Place(line.plan, e.line) << EchoText(e.reason, 400) << '\n';
        err << "vimbrel-cli: nothing sent\n";
    };
    if (!plan.errors.empty()) {
        std::vector<MatchError> said;
        for (const PlanError& e : plan.errors) said.push_back({e.line, PlanErrorWords(e)});
        tellErrors(said);
        return kExitUsage;
    }

    const std::vector<TableRow> found = search.Search(WaitOf(line), line.rounds);
    if (found.empty() && SaidSearchNotSent(search, err)) return kExitFailed;
    const PlanMatching matching = MatchPlan(plan, found);
    if (!matching.errors.empty()) {
        tellErrors(MatchErrors(matching, found));
        return kExitUsage;
    }
    std::vector<TableRow> targeted;
    std::vector<MoveTarget> moves;
    for (const PlanMatch& match : matching.matches) {
        targeted.push_back(found[match.row]);
        moves.push_back({targeted.back().localAddress, match.entry->newIp, match.entry->mask});
    }
    if (RefusedOffLinkMoves(targeted, moves, line, err)) return kExitUsage;

    PlanLines lines(line, matching.matches, found, out, err);
    const std::vector<TargetOutcome> outcomes =
        RunAddressPlan(search.Session(), matching.matches, found, probe, lines, line.dryRun);
    int result = lines.failed ? kExitFailed : kExitOk;
    // Lines a cancel left unsent: none on the command line, but never taken for sent.
    for (const TargetOutcome& outcome : outcomes)
        if (outcome.outcome == Outcome::kNotReached) result = kExitFailed;
    if (line.dryRun || lines.moved.empty()) return result;
    const int confirmed = ConfirmNewAddresses(line, search, std::move(lines.moved), out, err);
    return result == kExitOk ? confirmed : result;
}

}  // namespace vimbrel::cli
