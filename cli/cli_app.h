#pragma once
// vimbrel-cli as a function: the arguments after the program's name, the
// two output streams, and the exit code.
#include <ostream>
#include <string>
#include <vector>

#include "platform/arp_probe.h"

namespace vimbrel::cli {

// `probe`: the ARP probe of assign-ip; the system's when null.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           platform::ArpProbe* probe = nullptr);

}  // namespace vimbrel::cli
