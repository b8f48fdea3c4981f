#pragma once
// Everything on the command line checked before anything is sent: a
// malformed address or MAC, an unknown model, a mask that is not contiguous,
// a missing target or confirmation.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "cli/command_line.h"

namespace vimbrel::cli {

struct CheckedInput {
    std::optional<std::uint32_t> interfaceAddress;
    const char* model = nullptr;  // set-model: one of kModelNames
    std::uint32_t start = 0, mask = 0, gateway = 0;  // assign-ip
    // assign-ip --plan: --mask and --gateway, for the lines without their own.
    std::optional<std::uint32_t> planMask, planGateway;
};

// The checked values, or nothing after one line on `err` saying why.
std::optional<CheckedInput> CheckInput(const CommandLine& line, std::ostream& err);

}  // namespace vimbrel::cli
