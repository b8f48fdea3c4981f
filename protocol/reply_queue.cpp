// The queue of accepted replies between the receive thread and the window.
#include "protocol/reply_queue.h"

namespace vimbrel::protocol {

void ReplyQueue::Push(std::unique_ptr<ReplyBuffer> reply) {
    if (!reply) return;
    const std::lock_guard lock(m_csReplies);
    m_replies.push_back(std::move(reply));
}

std::unique_ptr<ReplyBuffer> ReplyQueue::TakeFront() {
    const std::lock_guard lock(m_csReplies);
    if (m_replies.empty()) return nullptr;
    std::unique_ptr<ReplyBuffer> reply = std::move(m_replies.front());
    m_replies.pop_front();
    return reply;
}

std::size_t ReplyQueue::Size() {
    const std::lock_guard lock(m_csReplies);
    return m_replies.size();
}

void ReplyQueue::Clear() {
    std::deque<std::unique_ptr<ReplyBuffer>> released;
    {
        const std::lock_guard lock(m_csReplies);
        released.swap(m_replies);
    }
}

}  // namespace vimbrel::protocol
