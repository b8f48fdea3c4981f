// assign-ip: the window's address assignment on the chosen cameras (the same
// candidates, probes and planner), then a search that tells which of them
// answer from their new address.
#include <algorithm>
#include <chrono>
#include <thread>

#include "cli/exit_codes.h"
#include "cli/runs.h"
#include "cli/target_selection.h"
#include "cli/utf8_text.h"
#include "operations/off_link_moves.h"
#include "platform/ipv4_text.h"
#include "session/address_confirmation.h"
#include "session/command_plan.h"

namespace vimbrel::cli {

namespace {

// A camera whose address has changed: its serial number and MAC address.
std::string Moved(const TableRow& camera) {
    return EchoText(ToUtf8(camera.device.serial)) + " " + EchoText(ToUtf8(camera.device.mac));
}

}  // namespace

bool RefusedOffLinkMoves(const std::vector<TableRow>& cameras,
                         const std::vector<MoveTarget>& targets, const CommandLine& line,
                         std::ostream& err) {
    const std::vector<OffLinkGroup> groups = OffLinkMoves(targets);
    for (const OffLinkGroup& group : groups) {
        err << "vimbrel-cli: " << group.targets.size() << " camera(s) answered through "
            << platform::FormatIPv4(group.localAddress)
            << "; their new addresses are outside that network, so this computer will not "
               "reach them directly after the assignment.\n";
        for (const std::size_t i : group.targets) err << "  " << Describe(cameras[i]) << '\n';
    }
    if (groups.empty() || line.yes || line.dryRun) return false;
    err << "vimbrel-cli: nothing sent; give --yes to assign them all the same\n";
    return true;
}

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

    // Every candidate lies in the start address's network.
    std::vector<TableRow> targeted;
    std::vector<MoveTarget> moves;
    for (const auto& target : plan.targets) {
        targeted.push_back(selection.cameras[target.device]);
        moves.push_back({targeted.back().localAddress, input.start, input.mask});
    }
    if (RefusedOffLinkMoves(targeted, moves, line, err)) return kExitUsage;

    // A line for each camera as its command completes (a dry run: as its
    // address is settled).
    class Printer final : public PlanProgress {
    public:
        Printer(const Selection& selection, const MacPlan& plan, bool dryRun, std::ostream& out,
                std::ostream& err)
            : m_selection(selection), m_plan(plan), m_dryRun(dryRun), m_out(out), m_err(err) {}
        void Done(std::size_t target, const TargetOutcome& outcome) override {
            const TableRow& camera = m_selection.cameras[m_plan.targets[target].device];
            const std::string text = platform::FormatIPv4(outcome.address);
            if (m_dryRun) {
                m_out << Describe(camera) << " would get " << text << std::endl;
            } else if (outcome.outcome == Outcome::kSent) {
                m_out << Describe(camera) << " -> " << text << " sent" << std::endl;
                given.push_back({camera, m_plan.targets[target].identity.Bytes(), outcome.address});
            } else {
                m_err << "vimbrel-cli: " << Describe(camera) << " -> " << text
                      << ": the command could not be sent" << ReasonText(outcome.error)
                      << std::endl;
                failed = true;
            }
        }
        std::vector<MovedDevice> given;
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
    std::vector<MovedDevice> given = std::move(printer.given);
    if (line.dryRun || given.empty()) return result;
    const int confirmed = ConfirmNewAddresses(line, search, std::move(given), out, err);
    return result == kExitOk ? confirmed : result;
}

int ConfirmNewAddresses(const CommandLine& line, CameraSearch& search,
                        std::vector<MovedDevice> moved, std::ostream& out, std::ostream& err) {
    using Clock = ConfirmationState::Clock;
    // Search again until every device answers from its new address or the
    // time is up.
    ConfirmationState state(std::move(moved), Clock::now());
    for (;;) {
        if (state.SearchDue(Clock::now())) {
            for (const MovedDevice& device :
                 state.Answered(search.Search(WaitOf(line), line.rounds)))
                out << Moved(device.row) << " answers from " << platform::FormatIPv4(device.address)
                    << '\n';
        }
        if (state.Done() || state.TimeUp(Clock::now())) break;
        std::this_thread::sleep_until(state.NextEvent());
    }
    for (const MovedDevice& device : state.Waiting())
        err << "vimbrel-cli: " << Moved(device.row) << " did not answer from "
            << platform::FormatIPv4(device.address) << '\n';
    return state.Done() ? kExitOk : kExitFailed;
}

}  // namespace vimbrel::cli
