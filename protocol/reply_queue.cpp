// The queue of accepted replies between the receive thread and the window.
#include "protocol/reply_queue.h"

namespace vimbrel::protocol {

bool ReplyQueue::Push(const ReplyBuffer& reply, std::uint32_t localAddress) {
    const std::lock_guard lock(m_csReplies);
    if (m_closed || m_replies.size() >= kMaxQueuedReplies) {
        ++m_dropped;
        return false;
    }
    m_replies.push_back(std::make_unique<QueuedReply>(QueuedReply{reply, localAddress}));
    const bool tell = !m_readerTold;
    m_readerTold = true;
    return tell;
}

ReplyQueue::Replies ReplyQueue::TakeAll() {
    Replies taken;
    const std::lock_guard lock(m_csReplies);
    taken.swap(m_replies);
    m_readerTold = false;
    return taken;
}

std::size_t ReplyQueue::Size() {
    const std::lock_guard lock(m_csReplies);
    return m_replies.size();
}

void ReplyQueue::Clear() {
    Replies released;
    {
        const std::lock_guard lock(m_csReplies);
        released.swap(m_replies);
    }
}

void ReplyQueue::Close() {
    const std::lock_guard lock(m_csReplies);
    m_closed = true;
}

void ReplyQueue::Reopen() {
    const std::lock_guard lock(m_csReplies);
    m_closed = false;
    m_dropped = 0;
}

std::size_t ReplyQueue::Dropped() {
    const std::lock_guard lock(m_csReplies);
    return m_dropped;
}

void ReplyQueue::CountDropped(std::size_t replies) {
    const std::lock_guard lock(m_csReplies);
    m_dropped += replies;
}

}  // namespace vimbrel::protocol
