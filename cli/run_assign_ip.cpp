// assign-ip: the window's address assignment on the chosen cameras (the same
// candidates, probes and planner), then a search that tells which of them
// answer from their new address.
#include <chrono>

#include "cli/exit_codes.h"
#include "cli/runs.h"
#include "cli/target_selection.h"
#include "cli/utf8_text.h"
#include "operations/address_planner.h"
#include "operations/address_rules.h"
#include "operations/cell_text.h"
#include "operations/device_identity.h"
#include "operations/ip_assignment.h"
#include "platform/ipv4_text.h"
#include "protocol/command_sender.h"

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

    // The cameras whose MAC address names them, with the text that goes out.
    struct Target {
        const FoundCamera* camera;
        protocol::CellBuffer mac;
    };
    std::vector<Target> targets;
    for (const FoundCamera& camera : selection.cameras) {
        const auto mac = CellBufferIfFits(camera.row.mac);
        if (mac && MacIdentity(mac->data())) {
            targets.push_back({&camera, *mac});
        } else {
            err << "vimbrel-cli: " << Describe(camera)
                << ": its MAC address names no device; nothing sent to it\n";
            result = kExitFailed;
        }
    }

    protocol::NetConfig block = protocol::MakeNetConfig(input.mask, input.gateway);
    std::vector<MovedCamera> given;
    const AssignmentProgress progress = AssignAddresses(
        AssignableCandidates(input.start, input.mask, input.gateway), targets.size(), probe,
        [&](std::size_t device, std::uint32_t address) {
            const Target& target = targets[device];
            const std::string text = platform::FormatIPv4(address);
            if (line.dryRun) {
                out << Describe(*target.camera) << " would get " << text << std::endl;
                return;
            }
            protocol::SetNetConfigAddress(block, text.c_str());
            const protocol::SendReport sent =
                protocol::SendSetNetwork(search.Sockets(), block, target.mac.data());
            if (sent.sent == 0) {
                err << "vimbrel-cli: " << Describe(*target.camera) << " -> " << text << ": "
                    << NotSentText(sent) << std::endl;
                result = kExitFailed;
                return;
            }
            out << Describe(*target.camera) << " -> " << text << " sent" << std::endl;
            given.push_back({*target.camera, text});
        },
        [] { return true; });
    for (std::size_t device = progress.assigned; device < targets.size(); ++device) {
        err << "vimbrel-cli: " << Describe(*targets[device].camera)
            << ": no free address left; nothing sent to it\n";
        result = kExitFailed;
    }
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
        const std::vector<FoundCamera> now = search.Search(WaitOf(line));
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
