#pragma once
// The search of the command line: the device session kept for the whole
// run, and the table of one search as the cameras found.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <vector>

#include "operations/device_row.h"
#include "session/device_session.h"
#include "session/search_rounds.h"

namespace vimbrel::cli {

// A round is worth sending only with this long left for its replies.
inline constexpr std::chrono::milliseconds kLastRoundMargin{200};

struct FoundCamera {
    DeviceRow row;
    // The address of the local socket the reply came in on; nothing when
    // not known.
    std::optional<std::uint32_t> localAddress;
};

class CameraSearch {
public:
    // Sockets on every local IPv4 address, or only on `onlyAddress`.
    explicit CameraSearch(std::optional<std::uint32_t> onlyAddress,
                          DrawDelay draw = RandomDelays());

    // Sends the search in `rounds` rounds as the window does and collects the
    // replies that come within `wait` after its start: one entry per MAC
    // address, from its first reply, in the order they came. A round that
    // would start less than kLastRoundMargin before the end of `wait` is not
    // sent; the search takes `wait` and no more.
    std::vector<FoundCamera> Search(std::chrono::milliseconds wait,
                                    std::size_t rounds = kSearchRounds);
    // Replies of the last search lost: dropped at the queue's bound (a
    // flood) or by the system on a full socket. The list may lack the
    // cameras they came from.
    std::size_t Dropped() const { return m_dropped; }
    // Whether any round of the last search went out, and what the last
    // round's send did (no socket, or why every send failed).
    bool AnySent() const { return m_anySent; }
    const protocol::SendReport& LastSend() const { return m_lastSend; }
    // Each search ends with a line on `log` (none when null): the receive
    // thread's errors so far (--verbose).
    void LogTo(std::ostream* log) { m_log = log; }

    // What the commands go through.
    DeviceSession& Session() { return m_session; }

private:
    DeviceSession m_session;
    DrawDelay m_draw;
    std::size_t m_dropped = 0;
    bool m_anySent = false;
    protocol::SendReport m_lastSend;
    std::ostream* m_log = nullptr;
};

// "receive errors: wait N, receive M (last: REASON)", the reason only when
// there was an error.
void LogReceiveErrors(std::ostream& log, const protocol::ReceiveErrors& errors);

}  // namespace vimbrel::cli
