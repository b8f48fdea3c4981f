#pragma once
// Runs vimbrel-cli in the private network: in this process through RunCli,
// or as its own program (optionally as an unprivileged user), with what it
// printed and its exit code; and what the cameras received
// (tests/support/camera_log.h).
#include <string>
#include <vector>

#include "platform/arp_probe.h"
#include "tests/support/camera_log.h"
#include "tools/lab/lab_network.h"

namespace vimbrel::test {

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

// RunCli on the calling thread, which must be in the computer's namespace.
CliRun RunCliHere(const std::vector<std::string>& args, platform::ArpProbe* probe = nullptr);

// The vimbrel-cli program as user `uid` (0 keeps root), started from the
// calling thread, which must be in the computer's namespace.
CliRun RunCliProgram(const std::vector<std::string>& args, unsigned uid);

}  // namespace vimbrel::test
