#pragma once
// Tells what a received datagram asks of a camera.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vimbrel::camsim {

// A search request: at least 344 bytes, code 100 little-endian at 0,
// "IpCamera" at 8, and not itself a DeviceReply (magic at 16).
bool IsSearchRequest(const std::uint8_t* bytes, std::size_t size);

// The code of a command packet (102..107) with "IpCamera" at 8 and at least
// 344 bytes; nothing for anything else.
std::optional<std::int32_t> CommandCode(const std::uint8_t* bytes, std::size_t size);

}  // namespace vimbrel::camsim
