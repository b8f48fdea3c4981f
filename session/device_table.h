#pragma once
// The devices one search found: one row per MAC address, the first reply of
// a MAC winning, in the order the replies came, at most a bound of rows.
// No toolkit; the window's list and the command line's output show it.
#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "operations/device_row.h"
#include "protocol/reply_queue.h"

namespace vimbrel {

// Rows the table holds at most; replies for more are dropped and counted.
inline constexpr std::size_t kMaxDeviceRows = 10000;

struct TableRow {
    DeviceRow device;
    // The address of the local socket the reply came in on; 0 when not known.
    std::uint32_t localAddress = 0;
};

class DeviceTable {
public:
    explicit DeviceTable(std::size_t bound = kMaxDeviceRows) : m_bound(bound) {}

    enum class Added { kRow, kListed, kFull };
    // The reply's row, unless its MAC is listed already or the table is full.
    Added Add(const protocol::QueuedReply& queued);
    void Clear();

    const std::vector<TableRow>& Rows() const { return m_rows; }
    bool Full() const { return m_rows.size() >= m_bound; }

private:
    std::size_t m_bound;
    std::vector<TableRow> m_rows;
    std::unordered_set<std::uint64_t> m_macs;  // the six bytes as one number
};

}  // namespace vimbrel
