#pragma once
// After an address assignment: the searches that confirm the new addresses.
// Fed with the table's rows after each search, it says which devices still
// wait, when the next search is due and when the time is up. No toolkit and
// no clock of its own: the window drives it from a timer, the command line
// from its loop.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "protocol/device_packet.h"
#include "session/device_table.h"

namespace vimbrel {

// How long the moved devices get to answer from their new addresses.
inline constexpr std::chrono::seconds kConfirmTime{15};
// A search that has gone out gets this long for its replies before the next.
inline constexpr std::chrono::seconds kConfirmSearchEvery{3};

// A device told to take a new address: its row as found before, for naming
// it, and its MAC's bytes with the new address, for finding it again.
struct MovedDevice {
    TableRow row;
    protocol::MacBytes mac{};
    std::uint32_t address = 0;
};

class ConfirmationState {
public:
    using Clock = std::chrono::steady_clock;

    // `moved` waits from `now` for `confirmTime`; the first search is due at
    // once.
    ConfirmationState(std::vector<MovedDevice> moved, Clock::time_point now,
                      std::chrono::milliseconds confirmTime = kConfirmTime);

    // Takes out of the waiting the devices a row shows with their MAC at
    // their new address, and returns them in their order.
    std::vector<MovedDevice> Answered(const std::vector<TableRow>& rows);
    // Whether a search is due at `now`; when it is, the next one is due
    // kConfirmSearchEvery later.
    bool SearchDue(Clock::time_point now);
    bool TimeUp(Clock::time_point now) const { return now >= m_end; }
    // The next search or the end of the time, whichever comes first.
    Clock::time_point NextEvent() const { return std::min(m_nextSearch, m_end); }
    bool Done() const { return m_waiting.empty(); }
    const std::vector<MovedDevice>& Waiting() const { return m_waiting; }

private:
    std::vector<MovedDevice> m_waiting;
    Clock::time_point m_end, m_nextSearch;
};

}  // namespace vimbrel
