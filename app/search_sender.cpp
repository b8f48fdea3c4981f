#include "app/search_sender.h"

#include <wx/thread.h>

#include <utility>

namespace vimbrel {

SearchSender::SearchSender(DeviceSession& session, PostToWindow postToWindow)
    : m_session(session), m_postToWindow(std::move(postToWindow)) {}

SearchSender::~SearchSender() { Wait(); }

bool SearchSender::Send(Done done) {
    wxASSERT(wxIsMainThread());
    if (m_busy) return false;
    Wait();  // the last one has ended; its thread is joined here
    m_busy = true;
    m_thread = std::thread([this, done = std::move(done)] {
        const protocol::SendReport report = m_session.SendSearch(m_session.TakeSendTurn());
        m_postToWindow([this, done, report] {
            m_busy = false;
            done(report);
        });
    });
    return true;
}

void SearchSender::Wait() {
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace vimbrel
