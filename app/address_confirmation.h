#pragma once
// After the address assignment: the window searches again by itself, again
// every few seconds, until every device answers from its new address or
// kConfirmTime has passed; then it says only which did not. The list shows
// the new addresses without a click on "搜索".
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <wx/timer.h>

#include "controls_ui/sort_list_ctrl.h"
#include "operations_ui/device_operations.h"

namespace vimbrel {

inline constexpr std::chrono::seconds kConfirmTime{15};
// A search that has gone out gets this long for its replies before the next.
inline constexpr std::chrono::seconds kConfirmSearchEvery{3};

class AddressConfirmation {
public:
    // `search` is the window's search; `tell` its message; `confirmTime`
    // how long the devices get.
    AddressConfirmation(const CSortListCtrl& list, std::function<void()> search,
                        const TellUser& tell, std::chrono::milliseconds confirmTime = kConfirmTime);

    // Searches (once the handler has returned) and waits for `moved` to
    // answer from their new addresses. A wait still under way is replaced;
    // nothing moved leaves it as it is.
    void Start(std::vector<MovedDevice> moved);
    // Ends the wait, saying nothing (the window closes).
    void Stop();
    bool Running() const { return m_timer.IsRunning(); }

private:
    void OnTick(wxTimerEvent& event);

    const CSortListCtrl& m_list;
    std::function<void()> m_search;
    const TellUser& m_tell;
    std::chrono::milliseconds m_confirmTime;
    std::vector<MovedDevice> m_waiting;
    std::chrono::steady_clock::time_point m_end, m_nextSearch;
    wxTimer m_timer;
};

}  // namespace vimbrel
