#pragma once
// The search of the command line: the core's sockets, receive thread and
// reply queue, kept for the whole run, and the replies of one search
// collected into one entry per device.
//
// Each local address has its own socket list, queue and receive thread, so
// that every reply is known by the address it came in on; the search goes
// out on all of them as on one list of every socket (the multicast on each,
// one pause, the broadcast on each). Commands go through one list of every
// address, as the window's do.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "operations/device_row.h"
#include "protocol/local_sockets.h"
#include "protocol/reply_queue.h"
#include "protocol/reply_receiver.h"

namespace vimbrel::cli {

struct FoundCamera {
    DeviceRow row;
    // The address of the local socket the reply came in on; nothing when
    // not known.
    std::optional<std::uint32_t> localAddress;
};

class CameraSearch {
public:
    // Sockets on every local IPv4 address, or only on `onlyAddress`.
    explicit CameraSearch(std::optional<std::uint32_t> onlyAddress);
    ~CameraSearch();  // stops the receive threads together
    CameraSearch(const CameraSearch&) = delete;
    CameraSearch& operator=(const CameraSearch&) = delete;

    // Sends the search as the window does and collects the replies that come
    // within `wait` after it: one entry per MAC address, from its first
    // reply, in the order they came.
    std::vector<FoundCamera> Search(std::chrono::milliseconds wait);
    // Replies of the last search dropped at a queue's bound (a flood): the
    // list may lack the cameras they came from.
    std::size_t Dropped() const { return m_dropped; }

    // The sockets the commands go out on.
    protocol::LocalSockets& Sockets() { return m_commandSockets; }

private:
    struct Link;
    void SendSearchOnEveryLink();

    std::vector<std::unique_ptr<Link>> m_links;
    protocol::LocalSockets m_commandSockets;
    std::size_t m_dropped = 0;
};

}  // namespace vimbrel::cli
