#pragma once
// The window's search goes out on a thread of its own, so that the window
// thread never waits out the pause between a search's multicast and its
// broadcast. One search at a time: a search asked for while one is going
// out is that one (the list was emptied for it a moment ago).
#include <functional>
#include <thread>

#include <functional>
#include <thread>

#include "session/device_session.h"

namespace vimbrel {

class SearchSender {
public:
    // `postToWindow` queues a call on the window thread (thread-safe).
    using PostToWindow = std::function<void(std::function<void()>)>;
    using Done = std::function<void(const protocol::SendReport&)>;

    SearchSender(DeviceSession& session, PostToWindow postToWindow);
    ~SearchSender();  // waits for the search going out
    SearchSender(const SearchSender&) = delete;
    SearchSender& operator=(const SearchSender&) = delete;

    // Window thread. Refreshes the sockets and sends the search on the
    // sender's thread; `done` then runs on the window thread with what went
    // out. False, and nothing sent, while a search is going out.
    bool Send(Done done);
    // Window thread: a search is going out, or its `done` has yet to run.
    bool Busy() const { return m_busy; }
    // Waits until the search going out is on the wire (its `done` still
    // runs later, on the window thread). Afterwards the caller's thread may
    // refresh and send.
    void Wait();

private:
    DeviceSession& m_session;
    PostToWindow m_postToWindow;
    std::thread m_thread;
    bool m_busy = false;  // window thread only
};

}  // namespace vimbrel
