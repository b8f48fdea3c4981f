#pragma once
// Replies that the receive thread has accepted and the window has not yet
// turned into rows. First in, first out; guarded by its own lock.
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>

#include "protocol/device_packet.h"

namespace vimbrel::protocol {

class ReplyQueue {
public:
    void Push(std::unique_ptr<ReplyBuffer> reply);
    std::unique_ptr<ReplyBuffer> TakeFront();  // null when empty
    std::size_t Size();
    void Clear();

private:
    std::deque<std::unique_ptr<ReplyBuffer>> m_replies;
    std::mutex m_csReplies;
};

}  // namespace vimbrel::protocol
