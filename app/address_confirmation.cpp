#include "app/address_confirmation.h"

#include "operations/batch_report.h"
#include "operations_ui/report_words.h"
#include "operations/device_columns.h"

namespace vimbrel {

namespace {

constexpr std::chrono::milliseconds kTick{200};

bool AnswersFrom(const wxListCtrl& list, const MovedDevice& device) {
    for (long row = 0; row < list.GetItemCount(); ++row)
        if (list.GetItemText(row, column::kMac).ToStdWstring() == device.macText &&
            list.GetItemText(row, column::kAddress).ToStdWstring() == device.address)
            return true;
    return false;
}

}  // namespace

AddressConfirmation::AddressConfirmation(const CSortListCtrl& list, std::function<void()> search,
                                         const TellUser& tell,
                                         std::chrono::milliseconds confirmTime)
    : m_list(list), m_search(std::move(search)), m_tell(tell), m_confirmTime(confirmTime) {
    m_timer.Bind(wxEVT_TIMER, &AddressConfirmation::OnTick, this);
}

void AddressConfirmation::Start(std::vector<MovedDevice> moved) {
    wxASSERT(wxIsMainThread());
    if (moved.empty()) return;  // nothing went out: a wait under way goes on
    m_waiting = std::move(moved);
    const auto now = std::chrono::steady_clock::now();
    m_end = now + m_confirmTime;
    m_nextSearch = now;  // the first search on the first tick, once the handler is done
    m_timer.Start(static_cast<int>(kTick.count()));
}

void AddressConfirmation::Stop() {
    m_timer.Stop();
    m_waiting.clear();
}

void AddressConfirmation::OnTick(wxTimerEvent&) {
    std::erase_if(m_waiting,
                  [&](const MovedDevice& device) { return AnswersFrom(m_list, device); });
    const auto now = std::chrono::steady_clock::now();
    if (m_waiting.empty()) {
        m_timer.Stop();
        return;
    }
    if (now >= m_end) {
        m_timer.Stop();
        BatchReport report;
        for (const MovedDevice& device : m_waiting) report.notAnswering.push_back(device.name);
        m_waiting.clear();
        m_tell(BatchReportWords(report));
        return;
    }
    if (now >= m_nextSearch) {
        m_nextSearch = now + kConfirmSearchEvery;
        m_search();
    }
}

}  // namespace vimbrel
