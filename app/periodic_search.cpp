#include "app/periodic_search.h"

#include <utility>

#include <wx/thread.h>

namespace vimbrel {

PeriodicSearch::PeriodicSearch(PostToWindow postToWindow, Search search,
                               std::chrono::milliseconds period)
    : m_postToWindow(std::move(postToWindow)), m_search(std::move(search)), m_period(period) {}

PeriodicSearch::~PeriodicSearch() { Stop(); }

void PeriodicSearch::Start() {
    m_thread = std::thread([this] { SearchThreadProc(); });
}

void PeriodicSearch::Stop() {
    {
        std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void PeriodicSearch::Hold() {
    wxASSERT(wxIsMainThread());
    ++m_nHolds;
}

void PeriodicSearch::Release() {
    wxASSERT(wxIsMainThread());
    if (--m_nHolds > 0 || !m_bSearchHeld) return;
    m_bSearchHeld = false;
    m_postToWindow([this] { RunOnWindow(); });
}

// Runs on the window thread; the stop test and the search cannot interleave
// with Stop, which runs there too. A held search leaves the thread waiting:
// the period counts from the end of the search that ran, its last round.
void PeriodicSearch::RunOnWindow() {
    wxASSERT(wxIsMainThread());
    bool stopping;
    {
        std::lock_guard lock(m_lock);
        stopping = m_stop;
    }
    if (!stopping && m_nHolds > 0) {
        m_bSearchHeld = true;
        return;
    }
    if (stopping) {
        SearchEnded();
        return;
    }
    m_search([this] { SearchEnded(); });
}

void PeriodicSearch::SearchEnded() {
    {
        std::lock_guard lock(m_lock);
        m_searchDone = true;
    }
    m_changed.notify_all();
}

void PeriodicSearch::SearchThreadProc() {
    std::unique_lock lock(m_lock);
    while (!m_stop) {
        m_searchDone = false;
        lock.unlock();
        m_postToWindow([this] { RunOnWindow(); });
        lock.lock();
        m_changed.wait(lock, [this] { return m_searchDone || m_stop; });
        if (m_stop) break;
        m_changed.wait_for(lock, m_period, [this] { return m_stop; });
    }
}

}  // namespace vimbrel
