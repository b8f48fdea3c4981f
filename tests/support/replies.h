#pragma once
// A valid reply as a camera sends it, told apart from others by a number in
// its MAC; the offsets are written out here, not taken from the code under
// test.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "protocol/device_packet.h"

namespace vimbrel::test {

inline constexpr std::size_t kReplyMagicOffset = 16;  // "IpCamera" and a zero byte
inline constexpr std::size_t kReplyMacOffset = 92;  // six bytes

// Code 100, the magic, MAC 02:00:00:00:hi:lo for `n`.
inline protocol::ReplyBuffer NumberedReply(std::uint16_t n) {
    protocol::ReplyBuffer b{};
    b[0] = 100;
    std::memcpy(&b[kReplyMagicOffset], "IpCamera", 8);
    b[kReplyMacOffset] = 0x02;
    b[kReplyMacOffset + 4] = static_cast<std::uint8_t>(n >> 8);
    b[kReplyMacOffset + 5] = static_cast<std::uint8_t>(n);
    return b;
}

// The number NumberedReply gave `reply`.
inline std::uint16_t ReplyNumber(const protocol::ReplyBuffer& reply) {
    return static_cast<std::uint16_t>(reply[kReplyMacOffset + 4] << 8 | reply[kReplyMacOffset + 5]);
}

}  // namespace vimbrel::test
