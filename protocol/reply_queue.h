#pragma once
// Replies that the receive thread has accepted and the window has not yet
// turned into rows. First in, first out; guarded by its own lock; bounded,
// so that a flood of replies costs neither memory nor the window's time.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "protocol/device_packet.h"

namespace vimbrel::protocol {

inline constexpr std::size_t kMaxQueuedReplies = 10000;

// A queued reply: the datagram's bytes, and the address of the local socket
// it came in on (host order; 0 when not known).
struct QueuedReply : ReplyBuffer {
    std::uint32_t localAddress = 0;
};

class ReplyQueue {
public:
    using Replies = std::deque<std::unique_ptr<QueuedReply>>;

    // Queues a copy of the reply unless kMaxQueuedReplies are queued or the queue is
    // closed; a reply not queued is counted as dropped. Returns true when
    // the reader should be told: the reply was queued and the reader has not
    // been told since it last took the queue.
    bool Push(const ReplyBuffer& reply, std::uint32_t localAddress = 0);
    // Every queued reply, oldest first. The next queued reply tells the
    // reader again.
    Replies TakeAll();
    std::size_t Size();
    void Clear();

    // The reader has no room left: every reply is dropped (and counted)
    // until Reopen.
    void Close();
    // Takes replies again and starts a new count of dropped ones.
    void Reopen();
    // Replies dropped since the last Reopen, on the way in or counted by the
    // reader with CountDropped.
    std::size_t Dropped();
    void CountDropped(std::size_t replies);

private:
    Replies m_replies;
    bool m_readerTold = false;
    bool m_closed = false;
    std::size_t m_dropped = 0;
    std::mutex m_csReplies;
};

}  // namespace vimbrel::protocol
