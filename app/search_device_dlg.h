#pragma once
// The main window: the device list, the search, and the buttons that act on
// the selected devices. It renders the device session's table and runs the
// session's plans; it owns the periodic search and the search's sender.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

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
#include "platform/firewall.h"
#include "session/device_session.h"

namespace vimbrel {

// Posted by the receive thread when replies wait and none was posted since
// the window last took them, and as a reminder.
wxDECLARE_EVENT(EVT_DEVICE_REPLY, wxThreadEvent);

// What the window uses beside the session; an empty one is the system's:
// the ARP probe of the platform, the default browser, message boxes, the
// system's firewall asked, and this program run elevated to let the
// cameras' replies through it (one UAC prompt).
struct WindowServices {
    std::unique_ptr<platform::ArpProbe> arpProbe;
    std::function<bool(const wxString&)> openPage;
    TellUser tell;
    AskUser ask;
    std::function<platform::FirewallState()> firewall;
    std::function<platform::FirewallFix()> allowFirewall;
    // How long the devices get to answer from their new addresses, and how
    // long after a search with no reply the window says where it went.
    std::chrono::milliseconds confirmTime = kConfirmTime;
    std::chrono::milliseconds nothingFoundAfter = kNothingFoundAfter;
};

// The main window's template as loaded, in dialog units: its client part and
// the places of the controls its layout moves.
struct TemplatePlaces {
    wxSize client;
    wxRect list, label, count, checkAll;
    std::array<wxRect, 7> row;  // the button row's, left to right
};

// The program's argument that runs the firewall fix instead of the window
// (given by the window itself, elevated).
inline constexpr const wchar_t* kAllowFirewallArgument = L"--allow-through-firewall";

class CSearchDeviceDlg : public wxDialog {
public:
    // Loads template 102, sets up its columns and controls; nothing is sent
    // and no thread runs until Start. Nothing of that when the template
    // can't be loaded (see Loaded). `searchPeriod` is the pause of the
    // periodic search.
    explicit CSearchDeviceDlg(DeviceSession& session, WindowServices services = {},
                              std::chrono::milliseconds searchPeriod = SEARCH_PERIOD_MS);
    ~CSearchDeviceDlg() override;

    // The start-up: the receive and periodic search threads, buttons
    // disabled, count empty, the first search. Window thread; once.
    void Start();

    // False when the template or one of its controls could not be loaded;
    // the window must not be shown then.
    bool Loaded() const { return m_bLoaded; }

    // Empties the list and sends a search in its rounds; the sends (and the
    // pauses) run on the search sender's thread. A search asked for while
    // the rounds of one are under way is that one.
    void OnSearch();
    // Takes the queued replies into the session's table and shows its new
    // rows; a long batch in slices, between other events.
    void OnDeviceReply();

    ::CSortListCtrl& DeviceList() { return *m_listDevice; }
    DeviceSession& Session() { return m_session; }
    // Tests swap these between their steps.
    void SetArpProbe(std::unique_ptr<platform::ArpProbe> probe) { m_arpProbe = std::move(probe); }
    void SetPageOpener(std::function<bool(const wxString&)> opener) {
        m_openPage = std::move(opener);
    }
    DeviceListHandover& Handover() { return *m_handover; }
    RowMarksView& Marks() { return *m_marks; }
    // A search after the address assignment is still waiting for answers.
    bool ConfirmingAddresses() const { return m_confirmation && m_confirmation->Running(); }
    // Replies taken off the queue still wait to become rows (idle work).
    bool TakingReplies() const { return m_moreReplies; }
    // A search is going out: a press on "搜索" now joins it.
    bool SearchGoingOut() const { return m_searchSender.Busy(); }
    // A periodic search fell due while a handler held them and waits.
    bool PeriodicSearchHeld() const { return m_searchThread && m_searchThread->SearchHeld(); }
    bool ReceiveThreadExited() const { return m_session.ReceiveThreadExited(); }
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
    // The template's places of the controls the layout moves, read from the
    // loaded template (search_device_layout.cpp); false when one is missing.
    bool ReadTemplatePlaces();
    // The window's sizes: the template's when the work area holds it, the
    // controls placed for the window's width (search_device_layout.cpp).
    void FitToWorkArea();
    void MeasureButtons();
    void LayOutControls();
    wxSize LeastClientSize(const wxSize& areaClient);
    void StretchLastColumn();
    void OnSize(wxSizeEvent& event);
    void OnDPIChanged(wxDPIChangedEvent& event);
    void InitDeviceList();
    void EnableCommandButtons(bool enable);
    // Appends the table's new row; its tag is the local address its reply
    // came in on.
    void AddDeviceRow(const TableRow& row);
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
    // "允许通过防火墙": the fix, then a search again.
    void OnAllowFirewall();
    void OnSelectAll(wxCommandEvent& event);
    void OnListClick(wxListEvent& event);
    void OnListDblClk(wxListEvent& event);
    void OnAutoAssignIP(wxCommandEvent& event);
    void OnReboot(wxCommandEvent& event);
    void OnFactoryReset(wxCommandEvent& event);
    void OnMotorStart(wxCommandEvent& event);
    void OnMotorStop(wxCommandEvent& event);
    void OnChangeModel(wxCommandEvent& event);
    void RunCommandOnSelected(std::int32_t command);

    ::CSortListCtrl* m_listDevice = nullptr;
    wxStaticText* m_staticOnline = nullptr;
    wxCheckBox* m_checkAll = nullptr;
    // 1006, 1, 1008, 1009, 1013, 1014, 1012: always enabled or disabled together.
    std::array<wxButton*, 7> m_btnCommand{};
    TemplatePlaces m_places;
    // The buttons of the top row from left to right, and the label in front
    // of the count.
    std::array<wxButton*, 7> m_rowButtons{};
    std::array<wxSize, 7> m_buttonLeast{};  // what their texts need
    wxStaticText* m_staticLabel = nullptr;
    // What the last column has of its own; it grows to fill the list.
    int m_lastColumnWidth = 0;
    // Taken replies are left for the next slice; idle time brings it.
    bool m_moreReplies = false;

    DeviceSession& m_session;
    std::chrono::milliseconds m_searchPeriod;
    SearchSender m_searchSender{m_session,
                                [this](const std::function<void()>& call) { CallAfter(call); }};
    std::unique_ptr<PeriodicSearch> m_searchThread;
    std::unique_ptr<platform::ArpProbe> m_arpProbe;
    std::function<bool(const wxString&)> m_openPage;
    TellUser m_tellUser;
    std::function<platform::FirewallState()> m_firewall;
    std::function<platform::FirewallFix()> m_allowFirewall;
    AskUser m_askUser;
    std::chrono::milliseconds m_confirmTime, m_nothingFoundAfter;
    std::unique_ptr<DeviceListHandover> m_handover;  // Ctrl+C and the list's menu
    std::unique_ptr<RowMarksView> m_marks;  // row colours, info line, problem counts
    std::unique_ptr<AddressConfirmation> m_confirmation;  // after "自动分配IP"
    bool m_bLoaded = false;
    bool m_started = false;
    bool m_exitDone = false;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace vimbrel
