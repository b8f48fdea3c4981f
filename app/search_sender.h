#pragma once
// The window's search goes out on a thread of its own, in rounds
// (session/search_rounds.h), so that the window thread never waits out the
// pauses between a search's sends. One search at a time: a search asked for
// while the rounds of one are under way is that one (the list was emptied
// for it a moment ago).
#include <functional>
#include <thread>
#include <vector>

#include "session/device_session.h"
#include "session/search_rounds.h"

namespace vimbrel {

class SearchSender {
public:
    // `postToWindow` queues a call on the window thread (thread-safe).
    using PostToWindow = std::function<void(std::function<void()>)>;
    using Sent = std::function<void(const protocol::SendReport&)>;

    SearchSender(DeviceSession& session, PostToWindow postToWindow,
                 std::size_t rounds = kSearchRounds, DrawDelay draw = RandomDelays());
    ~SearchSender();  // Stop
    SearchSender(const SearchSender&) = delete;
    SearchSender& operator=(const SearchSender&) = delete;

    // Window thread. Sends the search in its rounds on the sender's thread;
    // `sent` runs on the window thread with what each round sent. False, and
    // nothing sent, while the rounds of a search are under way or after
    // Stop.
    bool Send(Sent sent);
    // Window thread: the rounds of a search are under way, or the call after
    // the last has yet to run.
    bool Busy() const { return m_busy; }
    // Window thread: `ended` runs on the window thread once the rounds under
    // way have ended (at once when none are).
    void WhenEnded(std::function<void()> ended);
    // Ends the rounds at once (a round on the wire finishes its two sends)
    // and waits for the thread. Nothing is sent afterwards.
    void Stop();

private:
    DeviceSession& m_session;
    PostToWindow m_postToWindow;
    std::size_t m_rounds;
    DrawDelay m_draw;  // window thread only
    SearchStop m_stop;
    std::thread m_thread;
    bool m_busy = false;  // window thread only
    std::vector<std::function<void()>> m_ended;  // window thread only
};

}  // namespace vimbrel
