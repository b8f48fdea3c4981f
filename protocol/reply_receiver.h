#pragma once
// The receive thread: waits on every live local socket, accepts DeviceReply
// datagrams, queues a copy of each with the address of the socket it came in
// on, and tells the window.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>

#include "protocol/local_sockets.h"
#include "protocol/reply_queue.h"

namespace vimbrel::protocol {

inline constexpr std::chrono::milliseconds kReceiveWaitTimeout{1000};

// The receive thread's failures since it started: waits on the sockets that
// failed, receives that failed (each retires its socket until the next
// refresh), and the last failure's reason.
struct ReceiveErrors {
    std::size_t waits = 0;
    std::size_t receives = 0;
    platform::SocketError last;
};

class ReplyReceiver {
public:
    // Called on the receive thread, with no lock held: when a reply was
    // queued and the reader has not been told since it last took the queue,
    // and as a reminder after a quiet or failed wait while replies are
    // queued.
    using Notify = std::function<void()>;

    // `waitTimeout`: the longest wait on the sockets before a reminder.
    ReplyReceiver(LocalSockets& sockets, ReplyQueue& replies, Notify notify,
                  std::chrono::milliseconds waitTimeout = kReceiveWaitTimeout);
    ~ReplyReceiver();  // stops and joins
    ReplyReceiver(const ReplyReceiver&) = delete;
    ReplyReceiver& operator=(const ReplyReceiver&) = delete;

    void Start();  // no effect while the thread runs
    // Sets the stop flag, wakes the thread's wait and waits for the thread
    // to end: at most one slice of received datagrams.
    void Stop();
    bool Exited() const { return m_bRecvExited.load(); }
    ReceiveErrors Errors() const;

private:
    void ReceiveThreadProc();
    void CountWaitError(platform::SocketError error);
    void CountReceiveError(platform::SocketError error);

    LocalSockets& m_sockets;
    ReplyQueue& m_replies;
    Notify m_notify;
    std::chrono::milliseconds m_waitTimeout;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bRecvExited{false};
    mutable std::mutex m_csErrors;
    ReceiveErrors m_errors;  // under m_csErrors
    std::thread m_thread;
};

}  // namespace vimbrel::protocol
