#include "app/search_sender.h"

#include <utility>

#include "protocol/command_sender.h"

namespace vimbrel {

SearchSender::SearchSender(protocol::LocalSockets& sockets, PostToWindow postToWindow)
    : m_sockets(sockets), m_postToWindow(std::move(postToWindow)) {}

SearchSender::~SearchSender() { Wait(); }

bool SearchSender::Send(Done done) {
    if (m_busy) return false;
    Wait();  // the last one has ended; its thread is joined here
    m_busy = true;
    m_thread = std::thread([this, done = std::move(done)] {
        const protocol::SendReport report = protocol::SendSearch(m_sockets);
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
