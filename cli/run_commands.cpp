// reboot, factory-reset, motor-start, motor-stop and set-model on the chosen
// cameras.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/runs.h"
#include "cli/target_selection.h"
#include "cli/utf8_text.h"
#include "protocol/device_packet.h"
#include "session/command_plan.h"

namespace vimbrel::cli {

namespace {

// The cameras outside the selection by the serial number they report: a
// command addressed by serial number reaches them too. Made once for a run
// (a batch of a thousand cameras looks each up as its line is printed).
std::map<std::wstring, std::vector<const TableRow*>> OutsideBySerial(const Selection& selection) {
    std::set<std::wstring> selected;
    for (const TableRow& c : selection.cameras) selected.insert(c.device.mac);
    std::map<std::wstring, std::vector<const TableRow*>> outside;
    for (const TableRow& other : selection.found)
        if (selected.count(other.device.mac) == 0) outside[other.device.serial].push_back(&other);
    return outside;
}

// The command line's side of a plan: a line for each camera as its command
// completes, on stdout when it went, on stderr when not.
class PrintedProgress final : public PlanProgress {
public:
    // `sharing`: warn of the cameras outside it that receive a command by
    // serial number too; none for a command by MAC address.
    PrintedProgress(const std::vector<TableRow>& cameras, std::vector<std::size_t> order,
                    std::string what, const Selection* sharing, std::ostream& out,
                    std::ostream& err)
        : m_cameras(cameras),
          m_order(std::move(order)),
          m_what(std::move(what)),
          m_outside(sharing ? OutsideBySerial(*sharing)
                            : std::map<std::wstring, std::vector<const TableRow*>>{}),
          m_out(out),
          m_err(err) {}
    void Done(std::size_t target, const TargetOutcome& outcome) override {
        const TableRow& camera = m_cameras[m_order[target]];
        if (outcome.outcome == Outcome::kSent) {
            m_out << m_what << " sent to " << Describe(camera) << '\n';
            const auto sharing = m_outside.find(camera.device.serial);
            if (sharing == m_outside.end()) return;
            for (const TableRow* other : sharing->second)
                m_err << "vimbrel-cli: warning: " << Describe(*other)
                      << " reports the same serial number and receives it too\n";
            return;
        }
        m_err << "vimbrel-cli: " << Describe(camera) << ": the command could not be sent"
              << ReasonText(outcome.error) << '\n';
        m_failed = true;
    }
    bool Failed() const { return m_failed; }

private:
    const std::vector<TableRow>& m_cameras;
    std::vector<std::size_t> m_order;  // the camera of each target
    std::string m_what;
    // By serial number, the cameras outside the selection (none for a
    // command by MAC address).
    std::map<std::wstring, std::vector<const TableRow*>> m_outside;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_failed = false;
};

}  // namespace

int RunDeviceCommand(const CommandLine& line, const CheckedInput& input, CameraSearch& search,
                     std::ostream& out, std::ostream& err) {
    int result = kExitOk;
    const std::optional<Selection> searched = SearchTargets(line, search, err, result);
    if (!searched) return result;
    const Selection& selection = *searched;

    // set-model goes by MAC address, the others by serial number.
    const bool byMac = line.command->identity == IdentityKind::kMac;
    const std::string what =
        byMac ? std::string(line.command->name) + " " + input.model : line.command->name;
    const std::vector<TableRow>& cameras = selection.cameras;
    const auto said = [&](const auto& plan) {
        for (const std::size_t i : plan.skipped) {
            err << "vimbrel-cli: " << Describe(cameras[i]) << ": its "
                << (byMac ? "MAC address" : "serial number")
                << " names no device; nothing sent to it\n";
            result = kExitFailed;
        }
        std::vector<std::size_t> order;
        for (const auto& target : plan.targets) order.push_back(target.device);
        return PrintedProgress(cameras, std::move(order), what, byMac ? nullptr : &selection, out,
                               err);
    };
    if (byMac) {
        const MacPlan plan = PlanByMac(PlanDevices(cameras));
        PrintedProgress progress = said(plan);
        search.Session().RunSetModel(plan, input.model, progress);
        if (progress.Failed()) result = kExitFailed;
        return result;
    }
    const CommandPlan plan = PlanCommand(line.command->code, PlanDevices(cameras));
    PrintedProgress progress = said(plan);
    search.Session().RunCommand(plan, progress);
    if (progress.Failed()) result = kExitFailed;
    return result;
}

}  // namespace vimbrel::cli
