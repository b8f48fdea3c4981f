// assign-ip --plan FILE: the addresses a CSV file gives each camera. The
// whole plan is checked first, in the file and against the cameras that
// answer the search; then each new address is probed, and a camera whose
// new address some other host answers for is left alone. After the
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
#include "protocol/cell_text.h"
#include "protocol/device_identity.h"
#include "platform/ipv4_text.h"
#include "protocol/command_sender.h"

namespace vimbrel::cli {

namespace {

// A plan line with the camera it names.
struct Step {
    const PlanEntry* entry;
    const FoundCamera* camera;
    protocol::MacIdentity mac;
};

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

std::string IdentityOf(const PlanEntry& entry) {
    return (entry.byMac ? "MAC " : "serial ") + EchoText(entry.identityText);
}

// A plan line that names no camera it can go to, and why.
struct MatchError {
    std::size_t line;
    std::string reason;
};

// The plan's lines matched to the cameras found, or the reasons they can't
// be: a line no camera answered for, a serial number several report.
std::vector<Step> MatchCameras(const AddressPlan& plan, const std::vector<FoundCamera>& found,
                               std::vector<MatchError>& errors) {
    std::vector<Step> steps;
    for (const PlanEntry& entry : plan.entries) {
        std::vector<const FoundCamera*> named;
        for (const FoundCamera& camera : found) {
            const auto mac = protocol::CheckMacIdentity(camera.row.mac);
            const bool match =
                entry.byMac ? mac && mac->Bytes() == entry.mac : camera.row.serial == entry.serial;
            if (match) named.push_back(&camera);
        }
        if (named.empty()) {
            errors.push_back({entry.line, "no camera answered for " + IdentityOf(entry)});
            continue;
        }
        if (named.size() > 1) {
            errors.push_back({entry.line, std::to_string(named.size()) + " cameras report " +
                                              IdentityOf(entry) + "; name them by mac"});
            continue;
        }
        const auto mac = protocol::CheckMacIdentity(named[0]->row.mac);
        if (!mac) {
            errors.push_back(
                {entry.line, Describe(*named[0]) + ": its MAC address names no device"});
            continue;
        }
        steps.push_back({&entry, named[0], *mac});
    }
    return steps;
}

// Each sent line as its command completes: on stdout when it went, on stderr
// when not; the cameras it went to are kept for the confirming search.
class PlanLines final : public PlanProgress {
public:
    PlanLines(const std::vector<Step>& steps, const std::vector<std::size_t>& stepOf,
              std::ostream& out, std::ostream& err, std::vector<MovedCamera>& moved)
        : m_steps(steps), m_stepOf(stepOf), m_out(out), m_err(err), m_moved(moved) {}
    void Done(std::size_t send, const TargetOutcome& outcome) override {
        const Step& step = m_steps[m_stepOf[send]];
        const std::string address = platform::FormatIPv4(step.entry->newIp);
        if (outcome.outcome != Outcome::kSent) {
            m_err << "vimbrel-cli: " << Describe(*step.camera) << " -> " << address
                  << ": the command could not be sent" << ReasonText(outcome.error) << '\n';
            m_failed = true;
            return;
        }
        m_out << Describe(*step.camera) << " -> " << address << " sent" << std::endl;
        m_moved.push_back({*step.camera, address});
    }
    bool Failed() const { return m_failed; }

private:
    const std::vector<Step>& m_steps;
    const std::vector<std::size_t>& m_stepOf;
    std::ostream& m_out;
    std::ostream& m_err;
    std::vector<MovedCamera>& m_moved;
    bool m_failed = false;
};

// The new addresses some host answers for, or another camera of the search
// reports.
std::vector<bool> Taken(const std::vector<Step>& steps, const std::vector<FoundCamera>& found,
                        platform::ArpProbe& probe) {
    std::vector<PlanTarget> targets;
    targets.reserve(steps.size());
    for (const Step& step : steps) targets.push_back({step.entry->newIp, step.camera->row.ip});
    std::vector<std::wstring> foundIps;
    foundIps.reserve(found.size());
    for (const FoundCamera& camera : found) foundIps.push_back(camera.row.ip);
    return NewAddressesTaken(targets, foundIps, probe);
}

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

    const std::vector<FoundCamera> found = search.Search(WaitOf(line), line.rounds);
    std::vector<MatchError> errors;
    const std::vector<Step> steps = MatchCameras(plan, found, errors);
    if (!errors.empty()) {
        tellErrors(errors);
        return kExitUsage;
    }

    int result = kExitOk;
    const std::vector<bool> taken = Taken(steps, found, probe);
    std::vector<MovedCamera> moved;
    // The sends hold the turn; the confirming search afterwards takes it anew.
    {
        const DeviceSession::SendTurn turn = search.Session().TakeSendTurn();
        std::vector<DeviceSession::NetworkSend> sends;
        std::vector<std::size_t> stepOf;  // the step of each send
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            const std::string address = platform::FormatIPv4(step.entry->newIp);
            if (taken[i]) {
                err << "vimbrel-cli: " << Place(line.plan, step.entry->line)
                    << Describe(*step.camera) << ": another host answers for " << address
                    << "; nothing sent to it\n";
                result = kExitFailed;
                continue;
            }
            if (line.dryRun) {
                out << Describe(*step.camera) << " -> " << address << '\n';
                continue;
            }
            protocol::NetConfig block =
                protocol::MakeNetConfig(step.entry->mask, step.entry->gateway);
            protocol::SetNetConfigAddress(block, address.c_str());
            sends.push_back({block, step.mac});
            stepOf.push_back(i);
        }
        PlanLines lines(steps, stepOf, out, err, moved);
        search.Session().RunSetNetwork(turn, sends, lines);
        if (lines.Failed()) result = kExitFailed;
    }
    if (line.dryRun || moved.empty()) return result;
    const int confirmed = ConfirmNewAddresses(line, search, std::move(moved), out, err);
    return result == kExitOk ? confirmed : result;
}

}  // namespace vimbrel::cli
