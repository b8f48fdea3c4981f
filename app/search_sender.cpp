#include "app/search_sender.h"

#include <wx/thread.h>

#include <utility>

namespace vimbrel {

SearchSender::SearchSender(DeviceSession& session, PostToWindow postToWindow, std::size_t rounds,
                           DrawDelay draw)
    : m_session(session),
      m_postToWindow(std::move(postToWindow)),
      m_rounds(rounds),
      m_draw(std::move(draw)) {}

SearchSender::~SearchSender() { Stop(); }

bool SearchSender::Send(Sent sent) {
    wxASSERT(wxIsMainThread());
    if (m_busy || m_stop.Stopped()) return false;
    if (m_thread.joinable()) m_thread.join();  // the last one has ended
    m_busy = true;
    m_thread = std::thread([this, sent = std::move(sent), starts = RoundStarts(m_rounds, m_draw)] {
        m_session.SendSearchRounds(starts, m_stop, [&](const protocol::SendReport& report) {
            m_postToWindow([sent, report] { sent(report); });
        });
        m_postToWindow([this] {
            m_busy = false;
            std::vector<std::function<void()>> ended;
            ended.swap(m_ended);
            for (const auto& call : ended) call();
        });
    });
    return true;
}

void SearchSender::WhenEnded(std::function<void()> ended) {
    wxASSERT(wxIsMainThread());
    if (!m_busy) {
        ended();
        return;
    }
    m_ended.push_back(std::move(ended));
}

void SearchSender::Stop() {
    m_stop.Stop();
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace vimbrel
