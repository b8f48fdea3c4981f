#pragma once
// After the address assignment: the window searches again by itself, every
// kConfirmSearchEvery, until every device answers from its new address or
// the confirmation time has passed; then it says only which did not. The
// list shows the new addresses without a click on "搜索". What waits and
// when to search is the session's ConfirmationState, fed by the session's
// table; this drives its clock from a timer.
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include <wx/timer.h>

#include "operations_ui/device_operations.h"
#include "session/address_confirmation.h"
#include "session/device_session.h"

namespace vimbrel {

class AddressConfirmation {
public:
    // `search` is the window's search; `tell` its message; `confirmTime`
    // how long the devices get.
    AddressConfirmation(const DeviceSession& session, std::function<void()> search,
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

    const DeviceSession& m_session;
    std::function<void()> m_search;
    const TellUser& m_tell;
    std::chrono::milliseconds m_confirmTime;
    std::optional<ConfirmationState> m_state;
    wxTimer m_timer;
};

}  // namespace vimbrel
