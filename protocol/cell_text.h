#pragma once
// A list cell's text as the 32-byte ANSI buffer that goes into a DevicePacket.
#include <optional>
#include <string>

#include "protocol/device_packet.h"

namespace vimbrel {

// 32 zero bytes, holding `text` in the ANSI code page with its terminator
// when the text has at most 30 characters and its code-page form with the
// terminator fits the 32 bytes; otherwise the buffer stays all zero (a text
// is left out, never cut).
protocol::CellBuffer ToCellBuffer(const std::wstring& text);

// The same buffer, or nothing when the text doesn't fit: tells a text left
// out from an empty one.
std::optional<protocol::CellBuffer> CellBufferIfFits(const std::wstring& text);

}  // namespace vimbrel
