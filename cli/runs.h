#pragma once
// The subcommands, run after their input has been checked. Each returns the
// program's exit code.
#include <optional>
#include <ostream>

#include "cli/camera_search.h"
#include "platform/socket_error.h"
#include "cli/command_line.h"
#include "cli/input_checks.h"
#include "cli/target_selection.h"
#include "platform/arp_probe.h"
#include "operations/off_link_moves.h"
#include "session/address_confirmation.h"
#include "session/command_plan.h"
#include "protocol/local_sockets.h"

namespace vimbrel::cli {

int RunSearch(const CommandLine& line, CameraSearch& search, std::ostream& out, std::ostream& err);
// firewall allow: the fix of Windows Firewall for this program.
int RunFirewallAllow(std::ostream& out, std::ostream& err);
// After "no camera answered": what the firewall has to do with it, on `err`.
void SayFirewallFinding(std::ostream& err);
// reboot, factory-reset, motor-start, motor-stop, set-model.
int RunDeviceCommand(const CommandLine& line, const CheckedInput& input, CameraSearch& search,
                     std::ostream& out, std::ostream& err);
int RunAssignIp(const CommandLine& line, const CheckedInput& input, CameraSearch& search,
                platform::ArpProbe& probe, std::ostream& out, std::ostream& err);
// assign-ip --plan FILE.
int RunAssignPlan(const CommandLine& line, const CheckedInput& input, CameraSearch& search,
                  platform::ArpProbe& probe, std::ostream& out, std::ostream& err);

// Searches again, every kConfirmSearchEvery, until every moved camera
// answers from its new address or kConfirmTime has passed; says which answer
// and which do not. kExitFailed when one does not, else kExitOk.
int ConfirmNewAddresses(const CommandLine& line, CameraSearch& search,
                        std::vector<MovedDevice> moved, std::ostream& out, std::ostream& err);
// Says on `err` which of `cameras` the assignment moves off the network they
// answered through (`targets`: theirs, in the same order), one paragraph per
// local address. True when that refuses the run: no --yes and no --dry-run.
bool RefusedOffLinkMoves(const std::vector<TableRow>& cameras,
                         const std::vector<MoveTarget>& targets, const CommandLine& line,
                         std::ostream& err);
// When the last search sent nothing, says why on `err` and returns true.
bool SaidSearchNotSent(const CameraSearch& search, std::ostream& err);

// "SN0001 00:1A:2B:3C:4D:01 192.168.2.10", for the lines about one camera.
std::string Describe(const TableRow& camera);
// ": " and why a send failed, for the end of a line; empty when not known.
std::string ReasonText(const platform::SocketError& error);
// What a plan needs of the chosen cameras, in their order.
std::vector<PlanDevice> PlanDevices(const std::vector<TableRow>& cameras);
std::chrono::milliseconds WaitOf(const CommandLine& line);

// Searches and picks the command line's targets. Each target no camera
// answered for is said on `err` and makes `result` kExitFailed; with --all
// and no camera at all, nothing is returned and `result` is kExitNoCamera.
std::optional<Selection> SearchTargets(const CommandLine& line, CameraSearch& search,
                                       std::ostream& err, int& result);

}  // namespace vimbrel::cli
