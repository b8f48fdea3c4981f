#pragma once
// The main window: the device list, the search, and the buttons that act on
// the selected devices. It owns the sockets, the reply queue and both worker
// threads for the whole run.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_set>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>

#include "app/address_confirmation.h"
#include "app/device_list_handover.h"
#include "app/periodic_search.h"
#include "app/row_marks_view.h"
#include "app/search_sender.h"
#include "controls_ui/sort_list_ctrl.h"
#include "operations_ui/device_operations.h"
#include "platform/arp_probe.h"
#include "protocol/local_sockets.h"
#include "protocol/reply_queue.h"
#include "protocol/reply_receiver.h"

namespace vimbrel {

// Posted by the receive thread when replies wait and none was posted since
// the window last took them, and as a reminder.
wxDECLARE_EVENT(EVT_DEVICE_REPLY, wxThreadEvent);

// Rows the list holds at most; replies for more are dropped and counted.
inline constexpr std::size_t kMaxDeviceRows = 10000;

class CSearchDeviceDlg : public wxDialog {
public:
    // Loads template 102 and runs the start-up: columns, threads, buttons
    // disabled, count empty, first search. Nothing of that when the template
    // can't be loaded (see Loaded). `searchPeriod` is the pause of the
    // periodic search.
    explicit CSearchDeviceDlg(std::chrono::milliseconds searchPeriod = SEARCH_PERIOD_MS);
    ~CSearchDeviceDlg() override;

    // False when the template or one of its controls could not be loaded;
    // the window must not be shown then.
    bool Loaded() const { return m_bLoaded; }

    // Empties the list and sends a search; the sends (and their pause) run
    // on the search sender's thread. A search asked for while one is going
    // out is that one.
    void OnSearch();
    // Turns every queued reply into a row, unless its MAC is listed already
    // or the list is full; a long batch in slices, between other events.
    void OnDeviceReply();

    // What the device operations need; tests use them too.
    ::CSortListCtrl& DeviceList() { return *m_listDevice; }
    protocol::LocalSockets& Sockets() { return m_sockets; }
    protocol::ReplyQueue& Replies() { return m_replies; }
    void SetArpProbe(std::unique_ptr<platform::ArpProbe> probe) { m_arpProbe = std::move(probe); }
    void SetPageOpener(std::function<bool(const wxString&)> opener) {
        m_openPage = std::move(opener);
    }
    void SetTellUser(TellUser tell) { m_tellUser = std::move(tell); }
    void SetAskUser(AskUser ask) { m_askUser = std::move(ask); }
    DeviceListHandover& Handover() { return *m_handover; }
    RowMarksView& Marks() { return *m_marks; }
    // A search after the address assignment is still waiting for answers.
    bool ConfirmingAddresses() const { return m_confirmation && m_confirmation->Running(); }
    bool ReceiveThreadExited() const { return !m_receiver || m_receiver->Exited(); }
    bool ExitDone() const { return m_exitDone; }

private:
    // Held by a handler that lets the window's events run meanwhile (modal
    // dialogs, the progress dialog): a periodic search that falls due then
    // waits until the handler has returned.
    class HandlerScope {
    public:
        explicit HandlerScope(CSearchDeviceDlg& window);
        ~HandlerScope();
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

    private:
        CSearchDeviceDlg& m_window;
    };

    bool LoadTemplate();
    // The window's sizes: the template's when the work area holds it, the
    // controls placed for the window's width (search_device_layout.cpp).
    void FitToWorkArea();
    void MeasureButtons();
    void LayOutControls();
    wxSize LeastClientSize(const wxSize& areaClient);
    void StretchLastColumn();
    void OnSize(wxSizeEvent& event);
    void OnDPIChanged(wxDPIChangedEvent& event);
    void OnInitDialog(std::chrono::milliseconds searchPeriod);
    void InitDeviceList();
    void EnableCommandButtons(bool enable);
    // Appends the reply's row unless its MAC is listed; false when it is.
    // The row's tag is the local address the reply came in on.
    bool AddDeviceRow(const protocol::QueuedReply& queued);
    void ShowOnlineCount();
    // What the count area says when the search could not go out.
    void ShowSearchSent(const protocol::SendReport& report);

    // Button 2, Esc and the close box.
    void OnExit(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    // Button 1, the hidden default button: Enter ends the dialog.
    void OnOK(wxCommandEvent& event);
    void RunExitSteps();
    void EndDialog(int code);

    void OnDeviceReplyEvent(wxThreadEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnSearchButton(wxCommandEvent& event);
    void OnSelectAll(wxCommandEvent& event);
    void OnListClick(wxListEvent& event);
    void OnListDblClk(wxListEvent& event);
    void OnAutoAssignIP(wxCommandEvent& event);
    void OnReboot(wxCommandEvent& event);
    void OnFactoryReset(wxCommandEvent& event);
    void OnMotorStart(wxCommandEvent& event);
    void OnMotorStop(wxCommandEvent& event);
    void OnChangeModel(wxCommandEvent& event);
    void SendCommandToSelected(std::int32_t command);

    ::CSortListCtrl* m_listDevice = nullptr;
    wxStaticText* m_staticOnline = nullptr;
    wxCheckBox* m_checkAll = nullptr;
    // 1006, 1, 1008, 1009, 1013, 1014, 1012: always enabled or disabled together.
    std::array<wxButton*, 7> m_btnCommand{};
    // The buttons of the top row from left to right, and the label in front
    // of the count.
    std::array<wxButton*, 7> m_rowButtons{};
    std::array<wxSize, 7> m_buttonLeast{};  // what their texts need
    wxStaticText* m_staticLabel = nullptr;
    // What the last column has of its own; it grows to fill the list.
    int m_lastColumnWidth = 0;
    // The MACs of the list's rows, emptied with it.
    std::unordered_set<std::uint64_t> m_listedMacs;
    // Taken off the queue, not yet rows; idle time brings the next slice.
    protocol::ReplyQueue::Replies m_takenReplies;

    protocol::LocalSockets m_sockets;
    protocol::ReplyQueue m_replies;
    SearchSender m_searchSender{m_sockets,
                                [this](const std::function<void()>& call) { CallAfter(call); }};
    std::unique_ptr<protocol::ReplyReceiver> m_receiver;
    std::unique_ptr<PeriodicSearch> m_searchThread;
    std::unique_ptr<platform::ArpProbe> m_arpProbe;
    std::function<bool(const wxString&)> m_openPage;
    TellUser m_tellUser;
    AskUser m_askUser;
    std::unique_ptr<DeviceListHandover> m_handover;  // Ctrl+C and the list's menu
    std::unique_ptr<RowMarksView> m_marks;  // row colours, info line, problem counts
    std::unique_ptr<AddressConfirmation> m_confirmation;  // after "自动分配IP"
    bool m_bLoaded = false;
    bool m_exitDone = false;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace vimbrel
