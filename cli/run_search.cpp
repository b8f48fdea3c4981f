#include <cmath>

#include "cli/cli_app.h"
#include "cli/exit_codes.h"
#include "cli/output_formats.h"
#include "cli/runs.h"
#include "cli/utf8_text.h"

namespace vimbrel::cli {

std::chrono::milliseconds WaitOf(const CommandLine& line) {
    return std::chrono::milliseconds(std::lround(line.waitSeconds * 1000));
}

namespace {

// Says on `err` how many replies the search lost, if any.
bool SaidDropped(const CameraSearch& search, std::ostream& err) {
    if (search.Dropped() == 0) return false;
    err << "vimbrel-cli: " << search.Dropped()
        << " replies were lost (too many at once); the list may be incomplete\n";
    return true;
}

}  // namespace

bool SaidSearchNotSent(const CameraSearch& search, std::ostream& err) {
    const SearchSend& sent = search.Sent();
    switch (sent.fault) {
    case SearchSendFault::kNone: return false;
    case SearchSendFault::kNoLocalAddress:
        err << "vimbrel-cli: no local address to search from\n";
        return true;
    case SearchSendFault::kNotSent:
        err << "vimbrel-cli: the search could not be sent" << ReasonText(sent.error) << '\n';
        return true;
    }
    return false;
}

std::optional<Selection> SearchTargets(const CommandLine& line, CameraSearch& search,
                                       std::ostream& err, int& result) {
    const std::vector<TableRow> found = search.Search(WaitOf(line), line.rounds);
    if (found.empty() && SaidSearchNotSent(search, err)) {
        result = kExitFailed;
        return std::nullopt;
    }
    if (line.all && found.empty()) {
        err << "vimbrel-cli: no camera answered\n";
        SayFirewallFinding(err);
        result = kExitNoCamera;
        return std::nullopt;
    }
    if (SaidDropped(search, err) && line.all) result = kExitIncomplete;
    Selection selection = SelectTargets(line.targets, line.all, found);
    selection.found = found;
    for (const std::string& absent : selection.absent) {
        err << "vimbrel-cli: no camera answered for " << absent << "; nothing sent to it\n";
        result = kExitFailed;
    }
    return selection;
}

std::string Describe(const TableRow& camera) {
    return EchoText(ToUtf8(camera.device.serial)) + " " + EchoText(ToUtf8(camera.device.mac)) +
           " " + EchoText(ToUtf8(camera.device.ip));
}

std::vector<PlanDevice> PlanDevices(const std::vector<TableRow>& cameras) {
    std::vector<PlanDevice> devices;
    devices.reserve(cameras.size());
    for (const TableRow& camera : cameras)
        devices.push_back({camera.device.serial, camera.device.mac});
    return devices;
}

std::string ReasonText(const platform::SocketError& error) {
    if (!error) return {};
    return ": " + EchoText(error.text.empty() ? "error " + std::to_string(error.code) : error.text);
}

int RunSearch(const CommandLine& line, CameraSearch& search, std::ostream& out, std::ostream& err) {
    const std::vector<TableRow> cameras = search.Search(WaitOf(line), line.rounds);
    WriteCameras(out, *ParseOutputFormat(line.format), cameras);
    if (cameras.empty() && SaidSearchNotSent(search, err)) return kExitFailed;
    if (cameras.empty()) {
        err << "vimbrel-cli: no camera answered\n";
        SayFirewallFinding(err);
    }
    if (SaidDropped(search, err)) return kExitIncomplete;
    return cameras.empty() ? kExitNoCamera : kExitOk;
}

}  // namespace vimbrel::cli
