#pragma once
// One ARP request of our own on the wire, through a packet socket.
#include <cstdint>
#include <optional>

#include "platform/linux/connected_interface.h"

namespace vimbrel::platform {

// Broadcasts an ARP request for `target` from `via` (its address and
// hardware address as sender), again after half the wait, and waits up to
// about one second for a reply from `target`. Nothing when the process may
// not open a packet socket (it lacks CAP_NET_RAW); otherwise whether a
// reply came. Failures after the socket is open count as no reply.
std::optional<bool> RawArpRequestAnswered(const ConnectedInterface& via, std::uint32_t target);

}  // namespace vimbrel::platform
