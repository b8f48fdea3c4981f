#pragma once
// The subcommands, run after their input has been checked. Each returns the
// program's exit code.
#include <ostream>

#include "cli/camera_search.h"
#include "cli/command_line.h"
#include "cli/input_checks.h"
#include "platform/arp_probe.h"

namespace vimbrel::cli {

int RunSearch(const CommandLine& line, CameraSearch& search, std::ostream& out, std::ostream& err);
// reboot, factory-reset, motor-start, motor-stop, set-model.
int RunDeviceCommand(const CommandLine& line, const CheckedInput& input, CameraSearch& search,
                     std::ostream& out, std::ostream& err);
int RunAssignIp(const CommandLine& line, const CheckedInput& input, CameraSearch& search,
                platform::ArpProbe& probe, std::ostream& out, std::ostream& err);

// "SN0001 00:1A:2B:3C:4D:01 192.168.2.10", for the lines about one camera.
std::string Describe(const FoundCamera& camera);
std::chrono::milliseconds WaitOf(const CommandLine& line);

}  // namespace vimbrel::cli
