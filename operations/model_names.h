#pragma once
// The product model names a device may be told to report, and the model
// table shown beside them.
#include <array>

#include "protocol/device_packet.h"

namespace vimbrel {

// The accepted names, in the order they are compared.
inline constexpr std::array<const char*, 7> MODEL_NAMES = {
    "ZR410", "ZR420", "ZR420-2", "ZR4300-0", "ZR4500-0", "ZR4300-1", "ZR4500-1",
};

// The model table of the model dialog, top to bottom: model name, image
// sensor, pixel class. Display only; the spacing is part of the text.
inline constexpr std::array<const wchar_t*, 7> MODEL_TABLE_LINES = {
    L"ZR410      0130  130W",
    L"ZR420     1375  100W",
    L"ZR420-2    OV9712  100W",
    L"ZR4300-0  0330   200W",
    L"ZR4500-0   0330  300W",
    L"ZR4300-1  0331   200W",
    L"ZR4500-1   0331  300W",
};

// The first accepted name whose bytes and terminator equal the start of
// `name`; nullptr when none does.
const char* MatchModelName(const protocol::CellBuffer& name);

}  // namespace vimbrel
