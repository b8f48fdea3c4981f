#pragma once
// The search of the command line: the device session kept for the whole
// run, and the table of one search as the cameras found.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <vector>

#include "platform/socket_error.h"
#include "session/device_table.h"
#include "session/device_session.h"
#include "session/search_rounds.h"

namespace vimbrel::cli {

// A round is worth sending only with this long left for its replies.
inline constexpr std::chrono::milliseconds kLastRoundMargin{200};

// Why a search found nothing though cameras may be there: none of its
// rounds went out.
enum class SearchSendFault {
    kNone,  // a round went out
    kNoLocalAddress,  // no round had a socket to go out on
    kNotSent,  // every send failed; `error` is the first failure
};
struct SearchSend {
    SearchSendFault fault = SearchSendFault::kNone;
    platform::SocketError error;
};

class CameraSearch {
public:
    // Sockets on every local IPv4 address, or only on `onlyAddress`.
    explicit CameraSearch(std::optional<std::uint32_t> onlyAddress,
                          DrawDelay draw = RandomDelays());

    // Sends the search in `rounds` rounds as the window does and collects the
    // replies that come within `wait` after its start: the session's table,
    // one row per MAC address, from its first reply, in the order they came
    // (local address 0: not known). A round that would start less than
    // kLastRoundMargin before the end of `wait` is not sent; the search takes
    // `wait` and no more.
    std::vector<TableRow> Search(std::chrono::milliseconds wait,
                                 std::size_t rounds = kSearchRounds);
    // Replies of the last search lost: dropped at the queue's bound (a
    // flood) or by the system on a full socket. The list may lack the
    // cameras they came from.
    std::size_t Dropped() const { return m_dropped; }
    // Whether the last search's rounds went out, and why not.
    const SearchSend& Sent() const { return m_sent; }
    // Each search ends with a line on `log` (none when null): the receive
    // thread's errors so far (--verbose).
    void LogTo(std::ostream* log) { m_log = log; }

    // What the commands go through.
    DeviceSession& Session() { return m_session; }

private:
    DeviceSession m_session;
    DrawDelay m_draw;
    std::size_t m_dropped = 0;
    SearchSend m_sent;
    std::ostream* m_log = nullptr;
};

// "receive errors: wait N, receive M (last: REASON)", the reason only when
// there was an error.
void LogReceiveErrors(std::ostream& log, const protocol::ReceiveErrors& errors);

}  // namespace vimbrel::cli
