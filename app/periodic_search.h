#pragma once
// The periodic search thread: hands a search to the window thread at once
// and then 120 s after the end of each search (its last round), until it is
// stopped.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vimbrel {

inline constexpr std::chrono::milliseconds SEARCH_PERIOD_MS{120000};

class PeriodicSearch {
public:
    // `postToWindow` queues a call on the window thread (thread-safe);
    // `search` is what that call runs there: it starts the search and calls
    // its argument on the window thread once the search has ended.
    using PostToWindow = std::function<void(std::function<void()>)>;
    using Search = std::function<void(std::function<void()> ended)>;

    PeriodicSearch(PostToWindow postToWindow, Search search,
                   std::chrono::milliseconds period = SEARCH_PERIOD_MS);
    ~PeriodicSearch();  // stops
    PeriodicSearch(const PeriodicSearch&) = delete;
    PeriodicSearch& operator=(const PeriodicSearch&) = delete;

    void Start();
    // Called on the window thread. No search starts after it returns; the
    // thread has ended.
    void Stop();

    // Called on the window thread around a handler that lets the window's
    // events run meanwhile (a dialog, a progress dialog). A search that falls
    // due while any handler holds waits; the last Release posts it to run
    // after the handler has returned.
    void Hold();
    void Release();
    // Window thread: whether a search fell due under a hold and waits for
    // the last Release.
    bool SearchHeld() const { return m_bSearchHeld; }

private:
    void SearchThreadProc();
    void RunOnWindow();
    void SearchEnded();

    PostToWindow m_postToWindow;
    Search m_search;
    std::chrono::milliseconds m_period;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_stop = false;
    bool m_searchDone = false;
    std::thread m_thread;
    // Window thread only.
    int m_nHolds = 0;
    bool m_bSearchHeld = false;
};

}  // namespace vimbrel
