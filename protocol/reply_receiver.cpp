// The receive loop: wait on the live sockets, queue every DeviceReply.
#include "protocol/reply_receiver.h"

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace vimbrel::protocol {

namespace {

constexpr std::chrono::milliseconds kQuietPause{10};
constexpr int kMaxDatagramsPerSlice = 1000;

bool Contains(const std::vector<platform::SocketHandle>& set, platform::SocketHandle s) {
    return std::find(set.begin(), set.end(), s) != set.end();
}

}  // namespace

ReplyReceiver::ReplyReceiver(LocalSockets& sockets, ReplyQueue& replies, Notify notify,
                             std::chrono::milliseconds waitTimeout)
    : m_sockets(sockets),
      m_replies(replies),
      m_notify(std::move(notify)),
      m_waitTimeout(waitTimeout) {}

ReplyReceiver::~ReplyReceiver() { Stop(); }

void ReplyReceiver::Start() {
    if (m_thread.joinable()) return;
    m_bStop = false;
    m_bRecvExited = false;
    m_thread = std::thread([this] { ReceiveThreadProc(); });
}

void ReplyReceiver::Stop() {
    m_bStop = true;
    m_sockets.WakeReceiver();
    if (m_thread.joinable()) m_thread.join();
}

ReceiveErrors ReplyReceiver::Errors() const {
    const std::lock_guard lock(m_csErrors);
    return m_errors;
}

void ReplyReceiver::CountWaitError(platform::SocketError error) {
    const std::lock_guard lock(m_csErrors);
    ++m_errors.waits;
    m_errors.last = std::move(error);
}

void ReplyReceiver::CountReceiveError(platform::SocketError error) {
    const std::lock_guard lock(m_csErrors);
    ++m_errors.receives;
    m_errors.last = std::move(error);
}

void ReplyReceiver::ReceiveThreadProc() {
    if (m_bStop) {
        m_bRecvExited = true;
        return;
    }
    ReplyBuffer buffer{};
    // The list's own, for as long as the list lives.
    platform::WaitWake& wake = m_sockets.Lock().Wake();
    do {
        // The wait takes every live socket; a stop, or a refresh that adds
        // one, wakes it.
        std::vector<platform::SocketHandle> waitSet;
        {
            LocalSockets::Guard sockets = m_sockets.Lock();
            for (const LocalSocket& entry : sockets.Entries())
                if (entry.socket != platform::kInvalidSocket && !Contains(waitSet, entry.socket))
                    waitSet.push_back(entry.socket);
        }

        bool failed = false;
        const std::vector<platform::SocketHandle> ready =
            platform::WaitReadable(waitSet, m_waitTimeout, wake, failed);
        if (m_bStop) break;

        if (failed) CountWaitError(platform::LastSocketError());
        if (failed || ready.empty()) {
            if (m_replies.Size() > 0 && m_notify) m_notify();  // reminder
            // A failed wait returns at once: do not spin on it.
            if (failed) std::this_thread::sleep_for(kQuietPause);
            continue;
        }

        bool tell = false;
        {
            LocalSockets::Guard sockets = m_sockets.Lock();
            std::size_t left = ready.size();
            for (const LocalSocket& entry : sockets.Entries()) {
                if (left == 0) break;
                const platform::SocketHandle s = entry.socket;
                if (s == platform::kInvalidSocket || !Contains(ready, s)) continue;
                --left;
                // Until it would block, or a slice's worth when the datagrams
                // keep coming: the senders and the stop flag get their turn.
                for (int taken = 0; taken < kMaxDatagramsPerSlice; ++taken) {
                    buffer.fill(0);
                    std::uint32_t dropCount = entry.dropCount;
                    const long received =
                        platform::ReceiveDatagram(s, buffer.data(), buffer.size(), &dropCount);
                    if (received == platform::kNothingWaiting) {
                        // Drops after the last datagram that told them.
                        if (platform::ReadDropCount(s, dropCount) && dropCount != entry.dropCount)
                            m_replies.CountDropped(sockets.NewDrops(s, dropCount));
                        break;
                    }
                    if (received == platform::kReceiveFailed) {
                        CountReceiveError(platform::LastSocketError());
                        sockets.MarkDead(s);
                        break;
                    }
                    // Replies the system dropped on a full socket count as
                    // the queue's own drops do.
                    if (dropCount != entry.dropCount)
                        m_replies.CountDropped(sockets.NewDrops(s, dropCount));
                    if (!IsDeviceReply(buffer.data(), received)) continue;
                    if (m_replies.Push(buffer, entry.address)) tell = true;
                }
            }
        }
        if (tell && m_notify) m_notify();
    } while (!m_bStop);
    m_bRecvExited = true;
}

}  // namespace vimbrel::protocol
