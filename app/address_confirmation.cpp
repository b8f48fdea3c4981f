#include "app/address_confirmation.h"

#include "operations/batch_report.h"
#include "operations_ui/report_words.h"

namespace vimbrel {

namespace {

constexpr std::chrono::milliseconds kTick{200};

}  // namespace

AddressConfirmation::AddressConfirmation(const DeviceSession& session, std::function<void()> search,
                                         const TellUser& tell,
                                         std::chrono::milliseconds confirmTime)
    : m_session(session), m_search(std::move(search)), m_tell(tell), m_confirmTime(confirmTime) {
    m_timer.Bind(wxEVT_TIMER, &AddressConfirmation::OnTick, this);
}

void AddressConfirmation::Start(std::vector<MovedDevice> moved) {
    wxASSERT(wxIsMainThread());
    if (moved.empty()) return;  // nothing went out: a wait under way goes on
    // The first search on the first tick, once the handler is done.
    m_state.emplace(std::move(moved), ConfirmationState::Clock::now(), m_confirmTime);
    m_timer.Start(static_cast<int>(kTick.count()));
}

void AddressConfirmation::Stop() {
    m_timer.Stop();
    m_state.reset();
}

void AddressConfirmation::OnTick(wxTimerEvent&) {
    wxASSERT(wxIsMainThread());
    if (!m_state) return;
    static_cast<void>(m_state->Answered(m_session.Table().Rows()));
    const auto now = ConfirmationState::Clock::now();
    if (m_state->Done()) {
        Stop();
        return;
    }
    if (m_state->TimeUp(now)) {
        BatchReport report;
        for (const MovedDevice& device : m_state->Waiting())
            report.notAnswering.push_back(
                DeviceName(device.row.device.serial, device.row.device.mac));
        Stop();
        m_tell(BatchReportWords(report));
        return;
    }
    if (m_state->SearchDue(now)) m_search();
}

}  // namespace vimbrel
