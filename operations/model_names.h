#pragma once
// The product model names a device may be told to report.
#include <array>

#include "protocol/device_packet.h"

namespace vimbrel {

// The accepted names, in the order they are compared.
inline constexpr std::array<const char*, 7> kModelNames = {
    "ZR410", "ZR420", "ZR420-2", "ZR4300-0", "ZR4500-0", "ZR4300-1", "ZR4500-1",
};

// The first accepted name whose bytes and terminator equal the start of
// `name`; nullptr when none does.
const char* MatchModelName(const protocol::CellBuffer& name);

}  // namespace vimbrel
