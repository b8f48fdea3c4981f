// reboot, factory-reset, motor-start, motor-stop and set-model on the chosen
// cameras.
#include <algorithm>

#include "cli/exit_codes.h"
#include "cli/runs.h"
#include "cli/target_selection.h"
#include "cli/utf8_text.h"
#include "operations/cell_text.h"
#include "operations/device_identity.h"
#include "protocol/command_sender.h"

namespace vimbrel::cli {

namespace {

std::int32_t CommandCode(const std::string& command) {
    if (command == "reboot") return protocol::CMD_REBOOT;
    if (command == "factory-reset") return protocol::CMD_FACTORY_RESET;
    if (command == "motor-start") return protocol::CMD_MOTOR_START;
    if (command == "motor-stop") return protocol::CMD_MOTOR_STOP;
    return protocol::CMD_SET_MODEL;
}

enum class Outcome { kSent, kNotSent, kNoIdentity };

// The row's identity as the window reads it from its cells, and the window's
// send; `sent` tells what the send did.
Outcome SendToCamera(protocol::LocalSockets& sockets, std::int32_t code, const char* model,
                     const DeviceRow& row, protocol::SendReport& sent) {
    if (code == protocol::CMD_SET_MODEL) {
        const auto mac = CellBufferIfFits(row.mac);
        if (!mac || !MacIdentity(mac->data())) return Outcome::kNoIdentity;
        sent = protocol::SendSetModel(sockets, mac->data(), model);
    } else {
        const auto serial = SerialIdentity(row.serial);
        if (!serial) return Outcome::kNoIdentity;
        sent = protocol::SendCommand(sockets, code, *serial);
    }
    return sent.sent > 0 ? Outcome::kSent : Outcome::kNotSent;
}

// Cameras outside the selection that report the serial number of `camera`:
// a command addressed by serial number reaches them too.
std::vector<const FoundCamera*> SharingSerial(const FoundCamera& camera, const Selection& selection,
                                              const std::vector<FoundCamera>& found) {
    std::vector<const FoundCamera*> others;
    for (const FoundCamera& other : found) {
        const bool selected =
            std::any_of(selection.cameras.begin(), selection.cameras.end(),
                        [&](const FoundCamera& c) { return c.row.mac == other.row.mac; });
        if (!selected && other.row.serial == camera.row.serial) others.push_back(&other);
    }
    return others;
}

}  // namespace

int RunDeviceCommand(const CommandLine& line, const CheckedInput& input, CameraSearch& search,
                     std::ostream& out, std::ostream& err) {
    int result = kExitOk;
    const std::optional<Selection> searched = SearchTargets(line, search, err, result);
    if (!searched) return result;
    const Selection& selection = *searched;

    const std::int32_t code = CommandCode(line.command);
    const std::string what =
        code == protocol::CMD_SET_MODEL ? "set-model " + std::string(input.model) : line.command;
    for (const FoundCamera& camera : selection.cameras) {
        protocol::SendReport sent;
        const Outcome outcome = SendToCamera(search.Sockets(), code, input.model, camera.row, sent);
        if (outcome == Outcome::kNoIdentity) {
            err << "vimbrel-cli: " << Describe(camera) << ": its "
                << (code == protocol::CMD_SET_MODEL ? "MAC address" : "serial number")
                << " names no device; nothing sent to it\n";
            result = kExitFailed;
            continue;
        }
        if (outcome == Outcome::kNotSent) {
            err << "vimbrel-cli: " << Describe(camera) << ": " << NotSentText(sent) << '\n';
            result = kExitFailed;
            continue;
        }
        out << what << " sent to " << Describe(camera) << '\n';
        if (code == protocol::CMD_SET_MODEL) continue;
        for (const FoundCamera* other : SharingSerial(camera, selection, selection.found))
            err << "vimbrel-cli: warning: " << Describe(*other)
                << " reports the same serial number and receives it too\n";
    }
    return result;
}

}  // namespace vimbrel::cli
