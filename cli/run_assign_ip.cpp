// assign-ip: the window's address assignment on the chosen cameras (the same
// candidates, probes and planner), then a search that tells which of them
// answer from their new address.
#include <chrono>

#include "cli/exit_codes.h"
#include "cli/runs.h"
#include "cli/target_selection.h"
#include "cli/utf8_text.h"
#include "platform/ipv4_text.h"
#include "session/command_plan.h"

namespace vimbrel::cli {

namespace {

constexpr std::chrono::seconds kConfirmTime{15};

// A camera whose address has changed: its serial number and MAC address.
std::string Moved(const FoundCamera& camera) {
    return EchoText(ToUtf8(camera.row.serial)) + " " + EchoText(ToUtf8(camera.row.mac));
}

}  // namespace

int RunAssignIp(const CommandLine& line, const CheckedInput& input, CameraSearch& search,
                platform::ArpProbe& probe, std::ostream& out, std::ostream& err) {
    int result = kExitOk;
    const std::optional<Selection> searched = SearchTargets(line, search, err, result);
    if (!searched) return result;
    const Selection& selection = *searched;

    // The cameras whose MAC address names them.
    const MacPlan plan = PlanByMac(PlanDevices(selection.cameras));
    for (const std::size_t i : plan.skipped) {
        err << "vimbrel-cli: " << Describe(selection.cameras[i])
            << ": its MAC address names no device; nothing sent to it\n";
        result = kExitFailed;
    }

    // A line for each camera as its command completes (a dry run: as its
    // address is settled).
    class Printer final : public PlanProgress {
    public:
        Printer(const Selection& selection, const MacPlan& plan, bool dryRun, std::ostream& out,
                std::ostream& err)
            : m_selection(selection), m_plan(plan), m_dryRun(dryRun), m_out(out), m_err(err) {}
        void Done(std::size_t target, const TargetOutcome& outcome) override {
            const FoundCamera& camera = m_selection.cameras[m_plan.targets[target].device];
            const std::string text = platform::FormatIPv4(outcome.address);
            if (m_dryRun) {
                m_out << Describe(camera) << " would get " << text << std::endl;
            } else if (outcome.outcome == Outcome::kSent) {
                m_out << Describe(camera) << " -> " << text << " sent" << std::endl;
                given.push_back({camera, text});
            } else {
                m_err << "vimbrel-cli: " << Describe(camera) << " -> " << text
                      << ": the command could not be sent" << ReasonText(outcome.error)
                      << std::endl;
                failed = true;
            }
        }
        std::vector<MovedCamera> given;
        bool failed = false;

    private:
        const Selection& m_selection;
        const MacPlan& m_plan;
        bool m_dryRun;
        std::ostream& m_out;
        std::ostream& m_err;
    } printer(selection, plan, line.dryRun, out, err);
    const std::vector<TargetOutcome> outcomes = search.Session().RunAssignment(
        plan, {input.start, input.mask, input.gateway}, probe, printer, line.dryRun);
    if (printer.failed) result = kExitFailed;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].outcome != Outcome::kNoAddress) continue;
        err << "vimbrel-cli: " << Describe(selection.cameras[plan.targets[i].device])
            << ": no free address left; nothing sent to it\n";
        result = kExitFailed;
    }
    std::vector<MovedCamera> given = std::move(printer.given);
    if (line.dryRun || given.empty()) return result;
    const int confirmed = ConfirmNewAddresses(line, search, std::move(given), out, err);
    return result == kExitOk ? confirmed : result;
}

int ConfirmNewAddresses(const CommandLine& line, CameraSearch& search,
                        std::vector<MovedCamera> moved, std::ostream& out, std::ostream& err) {
    int result = kExitOk;
    // Search again until every device answers from its new address or the
    // time is up.
    const auto end = std::chrono::steady_clock::now() + kConfirmTime;
    while (!moved.empty()) {
        const std::vector<FoundCamera> now = search.Search(WaitOf(line), line.rounds);
        std::erase_if(moved, [&](const MovedCamera& g) {
            for (const FoundCamera& camera : now) {
                if (camera.row.mac == g.camera.row.mac && ToUtf8(camera.row.ip) == g.address) {
                    out << Moved(g.camera) << " answers from " << g.address << '\n';
                    return true;
                }
            }
            return false;
        });
        if (std::chrono::steady_clock::now() >= end) break;
    }
    for (const MovedCamera& g : moved) {
        err << "vimbrel-cli: " << Moved(g.camera) << " did not answer from " << g.address << '\n';
        result = kExitFailed;
    }
    return result;
}

}  // namespace vimbrel::cli
