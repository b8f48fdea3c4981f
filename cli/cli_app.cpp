#include "cli/cli_app.h"

#include "cli/camera_search.h"
#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/input_checks.h"
#include "cli/runs.h"

namespace vimbrel::cli {

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           platform::ArpProbe* probe) {
    const ParseResult parsed = ParseCommandLine(args, out, err);
    if (!parsed.commandLine) return parsed.exitCode;
    const CommandLine& line = *parsed.commandLine;
    if (line.command->kind == CommandKind::kFirewall)
        return RunFirewallAllow(out, err);  // no socket opened
    const std::optional<CheckedInput> input = CheckInput(line, err);
    if (!input) return kExitUsage;

    CameraSearch search(input->interfaceAddress);
    if (line.verbose) search.LogTo(&err);
    switch (line.command->kind) {
    case CommandKind::kSearch: return RunSearch(line, search, out, err);
    case CommandKind::kAssignIp: {
        std::unique_ptr<platform::ArpProbe> systemProbe;
        if (!probe) {
            systemProbe = platform::MakeSystemArpProbe();
            probe = systemProbe.get();
        }
        if (!line.plan.empty()) return RunAssignPlan(line, *input, search, *probe, out, err);
        return RunAssignIp(line, *input, search, *probe, out, err);
    }
    default: break;  // a command sent to each chosen camera
    }
    return RunDeviceCommand(line, *input, search, out, err);
}

}  // namespace vimbrel::cli
