#pragma once
// The search of the command line: the core's sockets, receive thread and
// reply queue, kept for the whole run, and the replies of one search
// collected into one entry per device.
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "operations/device_row.h"
#include "protocol/local_sockets.h"
#include "protocol/reply_queue.h"
#include "protocol/reply_receiver.h"

namespace vimbrel::cli {

struct FoundCamera {
    DeviceRow row;
    // The local socket the reply came in on, when the receiver tells it.
    std::optional<std::uint32_t> localAddress;
};

class CameraSearch {
public:
    // Sockets on every local IPv4 address, or only on `onlyAddress`.
    explicit CameraSearch(std::optional<std::uint32_t> onlyAddress);
    CameraSearch(const CameraSearch&) = delete;
    CameraSearch& operator=(const CameraSearch&) = delete;

    // Sends the search as the window does and collects the replies that come
    // within `wait` after it: one entry per MAC address, from its first
    // reply, in the order they came.
    std::vector<FoundCamera> Search(std::chrono::milliseconds wait);

    protocol::LocalSockets& Sockets() { return m_sockets; }

private:
    protocol::LocalSockets m_sockets;
    protocol::ReplyQueue m_replies;
    protocol::ReplyReceiver m_receiver;  // last: stops before the rest goes
};

}  // namespace vimbrel::cli
