#pragma once
// The search of the command line: the device session kept for the whole
// run, and the table of one search as the cameras found.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "operations/device_row.h"
#include "session/device_session.h"

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

    // Sends the search as the window does and collects the replies that come
    // within `wait` after it: one entry per MAC address, from its first
    // reply, in the order they came.
    std::vector<FoundCamera> Search(std::chrono::milliseconds wait);
    // Replies of the last search dropped at the bound (a flood): the list
    // may lack the cameras they came from.
    std::size_t Dropped() const { return m_dropped; }

    // What the commands go through.
    DeviceSession& Session() { return m_session; }

private:
    DeviceSession m_session;
    std::size_t m_dropped = 0;
};

}  // namespace vimbrel::cli
