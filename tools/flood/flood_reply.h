#pragma once
// The replies of a flood: each a valid DeviceReply from a MAC of its own.
#include <cstdint>

#include "protocol/device_packet.h"

namespace replyflood {

// Reply number `index`: code 100, the magic, port 80, MAC 02:46:4C plus the
// index in the low three bytes (so 16,777,216 distinct MACs), serial
// "FLOOD-<index>" and an address text from 10.0.0.0/8.
vimbrel::protocol::ReplyBuffer FloodReply(std::uint32_t index);

}  // namespace replyflood
