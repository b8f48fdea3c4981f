#include "cli/camera_search.h"

#include <algorithm>
#include <limits>
#include <ostream>
#include <thread>

#include "platform/local_addresses.h"

namespace vimbrel::cli {

namespace {

constexpr std::chrono::milliseconds kCollectInterval{10};

// The addresses that get a socket, or only `only` (any address the computer
// has, loopback too) when one is named.
protocol::LocalSockets::AddressSource Addresses(std::optional<std::uint32_t> only) {
    if (!only) return platform::SocketAddresses;
    return [only] {
        std::vector<platform::LocalAddress> addresses = platform::LocalIPv4Addresses();
        std::erase_if(addresses,
                      [&](const platform::LocalAddress& local) { return local.address != *only; });
        return addresses;
    };
}

}  // namespace

void LogReceiveErrors(std::ostream& log, const protocol::ReceiveErrors& errors) {
    log << "receive errors: wait " << errors.waits << ", receive " << errors.receives;
    if (errors.last) log << " (last: " << errors.last.text << ")";
    log << '\n';
}

// No bound on the table: a terminal takes every camera that answered (the
// queue's bound still holds between two takes).
CameraSearch::CameraSearch(std::optional<std::uint32_t> onlyAddress, DrawDelay draw)
    : m_session(Addresses(onlyAddress), nullptr, std::numeric_limits<std::size_t>::max()),
      m_draw(std::move(draw)) {
    m_session.Start(nullptr);
}

std::vector<TableRow> CameraSearch::Search(std::chrono::milliseconds wait, std::size_t rounds) {
    m_session.ClearTable(true);  // answers to an earlier search tell nothing now
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + wait;
    std::vector<std::chrono::milliseconds> starts = RoundStarts(rounds, m_draw);
    // The first round always; the others while their replies have time.
    std::erase_if(starts, [&](std::chrono::milliseconds at) {
        return at > std::chrono::milliseconds(0) && at > wait - kLastRoundMargin;
    });
    std::size_t sent = 0;
    bool wentOut = false, hadSocket = false;
    m_sent = {};
    // Taken off the queue while they come, so that the first reply of a
    // device answering on two links is the one kept.
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (sent < starts.size() && now >= start + starts[sent]) {
            const protocol::SendReport report = m_session.SendSearch(m_session.TakeSendTurn());
            ++sent;
            wentOut = wentOut || report.sent > 0;
            hadSocket = hadSocket || report.sockets > 0;
            if (report.sent == 0 && report.error && !m_sent.error) m_sent.error = report.error;
        }
        while (
            m_session.TakeReplies(std::chrono::steady_clock::now() + kCollectInterval, nullptr)) {
        }
        const auto later = std::chrono::steady_clock::now();
        if (later >= end) break;
        auto next = std::min(end, later + kCollectInterval);
        if (sent < starts.size()) next = std::min(next, start + starts[sent]);
        std::this_thread::sleep_until(next);
    }
    m_dropped = m_session.Dropped();
    if (m_log) LogReceiveErrors(*m_log, m_session.ReceiveErrors());
    if (!wentOut)
        m_sent.fault = hadSocket ? SearchSendFault::kNotSent : SearchSendFault::kNoLocalAddress;
    return m_session.Table().Rows();
}

}  // namespace vimbrel::cli
