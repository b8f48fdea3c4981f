#include "app/search_device_dlg.h"

#include <algorithm>
#include <chrono>

#include <wx/log.h>
#include <wx/utils.h>
#include <wx/msgdlg.h>
#include <wx/xrc/xmlres.h>

#include "app/column_titles.h"
#include "operations/device_columns.h"
#include "operations_ui/device_operations.h"
#include "operations_ui/plan_assignment.h"
#include "operations_ui/selected_rows.h"
#include "platform/utf8_text.h"
#include "protocol/device_packet.h"
#include "res/control_ids.h"
#include "res/resources.h"

namespace vimbrel {

wxDEFINE_EVENT(EVT_DEVICE_REPLY, wxThreadEvent);

namespace {

// What the count area says when a search could not go out: no local
// address, or every send failed. Short enough for its place.
wxString NoAddressLabel() { return _(L"无网络"); }
wxString NotSentLabel() { return _(L"未发出"); }

// Longest stretch of rows added before other events get their turn.
constexpr std::chrono::milliseconds kReplySlice{50};

}  // namespace

wxBEGIN_EVENT_TABLE(CSearchDeviceDlg, wxDialog)
    EVT_BUTTON(ids::kSearch, CSearchDeviceDlg::OnSearchButton)
    EVT_BUTTON(wxID_CANCEL, CSearchDeviceDlg::OnExit)
    EVT_BUTTON(wxID_OK, CSearchDeviceDlg::OnOK)
    EVT_CLOSE(CSearchDeviceDlg::OnClose)
    EVT_CHECKBOX(ids::kCheckAll, CSearchDeviceDlg::OnSelectAll)
    EVT_LIST_NM_CLICK(ids::kDeviceList, CSearchDeviceDlg::OnListClick)
    EVT_LIST_NM_DBLCLK(ids::kDeviceList, CSearchDeviceDlg::OnListDblClk)
    EVT_BUTTON(ids::kAutoAssignIP, CSearchDeviceDlg::OnAutoAssignIP)
    EVT_BUTTON(ids::kReboot, CSearchDeviceDlg::OnReboot)
    EVT_BUTTON(ids::kFactoryReset, CSearchDeviceDlg::OnFactoryReset)
    EVT_BUTTON(ids::kChangeModel, CSearchDeviceDlg::OnChangeModel)
    EVT_BUTTON(ids::kMotorStart, CSearchDeviceDlg::OnMotorStart)
    EVT_BUTTON(ids::kMotorStop, CSearchDeviceDlg::OnMotorStop)
wxEND_EVENT_TABLE()

CSearchDeviceDlg::CSearchDeviceDlg(DeviceSession& session, WindowServices services,
                                   std::chrono::milliseconds searchPeriod)
    : m_session(session),
      m_searchPeriod(searchPeriod),
      m_arpProbe(std::move(services.arpProbe)),
      m_openPage(std::move(services.openPage)),
      m_tellUser(std::move(services.tell)),
      m_firewall(std::move(services.firewall)),
      m_allowFirewall(std::move(services.allowFirewall)),
      m_askUser(std::move(services.ask)),
      m_confirmTime(services.confirmTime),
      m_nothingFoundAfter(services.nothingFoundAfter) {
    if (!m_firewall) m_firewall = [] { return platform::QueryFirewall(); };
    if (!m_allowFirewall)
        m_allowFirewall = [] {
            return platform::RunElevated(platform::ThisProgramPath(), kAllowFirewallArgument);
        };
    if (!m_arpProbe) m_arpProbe = platform::MakeSystemArpProbe();
    if (!m_openPage) m_openPage = OpenInDefaultBrowser;
    if (!m_tellUser)
        m_tellUser = [this](const wxString& text) {
            wxMessageBox(text, L"Vimbrel", wxOK | wxICON_WARNING, this);
        };
    if (!m_askUser)
        m_askUser = [this](const wxString& question) {
            return wxMessageBox(question, L"Vimbrel", wxYES_NO | wxNO_DEFAULT | wxICON_WARNING,
                                this) == wxYES;
        };
    if (!LoadTemplate()) return;
    m_bLoaded = true;
    FitToWorkArea();
    SetEscapeId(wxID_CANCEL);
    m_handover = std::make_unique<DeviceListHandover>(*this, *m_listDevice, m_session.Table(),
                                                      m_openPage, m_tellUser);
    m_marks = std::make_unique<RowMarksView>(
        *this, *m_listDevice, m_session.Table(), [this] { return m_session.SearchAddresses(); },
        m_firewall, [this] { OnAllowFirewall(); }, m_nothingFoundAfter);
    m_confirmation = std::make_unique<AddressConfirmation>(
        m_session, [this] { OnSearch(); }, m_tellUser, m_confirmTime);
    m_handover->SetAssignPlan([this](const wxString& planFile) {
        const HandlerScope scope(*this);
        m_confirmation->Start(
            AssignFromPlan(this, m_session, *m_arpProbe, planFile, m_askUser, m_tellUser));
    });
    Bind(EVT_DEVICE_REPLY, &CSearchDeviceDlg::OnDeviceReplyEvent, this);
    Bind(wxEVT_IDLE, &CSearchDeviceDlg::OnIdle, this);
    InitDeviceList();
}

bool CSearchDeviceDlg::LoadTemplate() {
    LoadResources();
    {
        const wxLogNull quiet;  // the caller says so
        if (!wxXmlResource::Get()->LoadDialog(this, nullptr, ids::kSearchDeviceDialog))
            return false;
    }
    m_listDevice = wxDynamicCast(FindWindow(ids::kDeviceList), ::CSortListCtrl);
    m_staticOnline = wxDynamicCast(FindWindow(ids::kStaticOnline), wxStaticText);
    m_checkAll = wxDynamicCast(FindWindow(ids::kCheckAll), wxCheckBox);
    bool complete = m_listDevice && m_staticOnline && m_checkAll && ReadTemplatePlaces();
    if (!complete) return false;
    // The template's size is converted before its font is set; the controls
    // are placed with the font.
    SetClientSize(ConvertDialogToPixels(m_places.client));
    for (std::size_t i = 0; i < m_btnCommand.size(); ++i) {
        m_btnCommand[i] = wxDynamicCast(FindWindow(ids::kCommandButtons[i]), wxButton);
        complete = complete && m_btnCommand[i];
    }
    return complete;
}

CSearchDeviceDlg::~CSearchDeviceDlg() { RunExitSteps(); }

void CSearchDeviceDlg::Start() {
    wxASSERT(wxIsMainThread());
    if (!m_bLoaded || m_started || m_exitDone) return;
    m_started = true;
    m_session.Start([this] { wxQueueEvent(this, new wxThreadEvent(EVT_DEVICE_REPLY)); });
    m_searchThread = std::make_unique<PeriodicSearch>(
        [this](const std::function<void()>& call) { CallAfter(call); },
        [this](std::function<void()> ended) {
            OnSearch();
            m_searchSender.WhenEnded(std::move(ended));
        },
        m_searchPeriod);
    m_searchThread->Start();
    EnableCommandButtons(false);
    m_staticOnline->SetLabel(wxEmptyString);
    OnSearch();
}

void CSearchDeviceDlg::InitDeviceList() {
    // The first widths are pixels at 96 dots an inch, and at least room for
    // the title and the sort arrow; stored widths are pixels the user had.
    for (int i = 0; i < column::kCount; ++i) {
        const wxString title = ColumnTitle(i);
        const int width =
            std::max(m_listDevice->FromDIP(kDeviceColumns[i].width),
                     m_listDevice->GetTextExtent(title).x + m_listDevice->FromDIP(24));
        m_listDevice->InsertColumn(i, title, wxLIST_FORMAT_LEFT, width);
    }
    m_listDevice->LoadColumnWidths(column::kCount);
    m_lastColumnWidth = m_listDevice->GetColumnWidth(column::kCount - 1);
    StretchLastColumn();
}

void CSearchDeviceDlg::EnableCommandButtons(bool enable) {
    for (wxButton* button : m_btnCommand) button->Enable(enable);
}

// The search: empty the list and reset the selection controls here, then
// bring the sockets up to date and send the request on every socket on the
// search sender's thread, in rounds. The count area says so when a round
// could not go out at all.
void CSearchDeviceDlg::OnSearch() {
    wxASSERT(wxIsMainThread());
    if (!m_started || m_exitDone || m_searchSender.Busy()) return;
    m_listDevice->DeleteAllItems();
    m_session.ClearTable(false);
    m_checkAll->SetValue(false);
    EnableCommandButtons(false);
    m_staticOnline->SetLabel(wxEmptyString);
    m_staticOnline->UnsetToolTip();
    m_marks->SearchStarted();
    m_searchSender.Send([this](const protocol::SendReport& report) { ShowSearchSent(report); });
}

void CSearchDeviceDlg::ShowSearchSent(const protocol::SendReport& report) {
    wxASSERT(wxIsMainThread());
    if (m_exitDone) return;
    const wxString reason =
        report.error ? _(L"原因：") + wxString(platform::FromUtf8(report.error.text)) : wxString();
    if (report.sockets == 0) {
        m_staticOnline->SetLabel(NoAddressLabel());
        m_staticOnline->SetToolTip(
            report.error ? _(L"本机地址上的套接字都无法打开，搜索请求未发出。") + reason
                         : _(L"本机没有可用的IPv4地址，搜索请求未发出。"));
    } else if (report.sent == 0) {
        m_staticOnline->SetLabel(NotSentLabel());
        m_staticOnline->SetToolTip(_(L"搜索请求在每个本机地址上都发送失败。") + reason);
    } else if (m_staticOnline->GetLabel() == NoAddressLabel() ||
               m_staticOnline->GetLabel() == NotSentLabel()) {
        // A later round went out after all.
        m_staticOnline->SetLabel(wxEmptyString);
        m_staticOnline->UnsetToolTip();
        ShowOnlineCount();
    }
}

void CSearchDeviceDlg::OnSearchButton(wxCommandEvent&) { OnSearch(); }

// Waits for the elevated fix (its prompt is the system's); a search that
// falls due meanwhile runs afterwards.
void CSearchDeviceDlg::OnAllowFirewall() {
    wxASSERT(wxIsMainThread());
    platform::FirewallFix fix;
    {
        const HandlerScope scope(*this);
        const wxBusyCursor busy;
        fix = m_allowFirewall();
    }
    switch (fix.result) {
    case platform::FirewallFixResult::kDone: OnSearch(); return;
    case platform::FirewallFixResult::kCancelled: return;  // the user said no: nothing changed
    case platform::FirewallFixResult::kNeedsAdministrator:
        m_tellUser(_(L"需要管理员权限才能更改防火墙设置，防火墙未更改。"));
        return;
    case platform::FirewallFixResult::kNotHere:
        m_tellUser(_(L"这台计算机上无法自动更改防火墙设置。"));
        return;
    case platform::FirewallFixResult::kFailed: break;
    }
    m_tellUser(
        wxString::Format(_(L"未能更改防火墙设置。原因：%s"), platform::FromUtf8(fix.detail)));
}

// All queued replies in one go. They become rows in slices of at most
// kReplySlice, the list redrawn once a slice; the rest waits until the window
// is idle, so that the clicks and keys that came meanwhile (a click on
// "搜索", Esc) are handled first. A full table takes no more: the queue
// refuses them from then on, and the count says so.
void CSearchDeviceDlg::OnDeviceReply() {
    if (!m_started || m_exitDone) return;
    if (!m_moreReplies && !m_session.RepliesWaiting()) return;  // nothing new
    m_listDevice->Freeze();
    m_moreReplies = m_session.TakeReplies(std::chrono::steady_clock::now() + kReplySlice,
                                          [this](const TableRow& row) { AddDeviceRow(row); });
    m_listDevice->Thaw();
    ShowOnlineCount();
    if (!m_moreReplies) m_marks->Update();  // once the rows of a burst are in
}

// The next slice when nothing else waits: clicks, keys, redraws and posted
// events come first. (A posted event or a timer would be handled before the
// toolkit's idle work, which hands out the posted events.)
void CSearchDeviceDlg::OnIdle(wxIdleEvent& event) {
    event.Skip();
    if (!m_moreReplies) return;
    OnDeviceReply();
    if (m_moreReplies) event.RequestMore();
}

// The row's tag is its index in the session's table: the row just added,
// the table's last.
void CSearchDeviceDlg::AddDeviceRow(const TableRow& row) {
    wxASSERT(&row == &m_session.Table().Rows().back());
    const auto number = static_cast<std::size_t>(m_listDevice->GetItemCount()) + 1;
    const RowTexts texts = TextsInColumnOrder(row.device, number);
    m_listDevice->AddItem(std::vector<wxString>(texts.begin(), texts.end()),
                          m_session.Table().Rows().size() - 1);
}

// The number of rows; "+" when replies were lost or the list is full, and
// how many were lost in the count's tooltip.
void CSearchDeviceDlg::ShowOnlineCount() {
    const long rows = m_listDevice->GetItemCount();
    const std::size_t lost = m_session.Dropped();
    if (rows == 0 && lost == 0) return;
    m_staticOnline->SetLabel(wxString::Format(m_session.Bounded() ? "%ld+" : "%ld", rows));
    if (lost > 0)
        m_staticOnline->SetToolTip(
            wxString::Format(_(L"丢失了 %zu 个回复（同时到达的太多），列表可能不全。"), lost));
}

void CSearchDeviceDlg::OnDeviceReplyEvent(wxThreadEvent&) { OnDeviceReply(); }

void CSearchDeviceDlg::OnExit(wxCommandEvent&) {
    RunExitSteps();
    EndDialog(wxID_CANCEL);
}

void CSearchDeviceDlg::OnClose(wxCloseEvent&) {
    RunExitSteps();
    EndDialog(wxID_CANCEL);
}

// Enter on the hidden default button ends the dialog too; the worker threads
// must be done with it first.
void CSearchDeviceDlg::OnOK(wxCommandEvent&) {
    RunExitSteps();
    EndDialog(wxID_OK);
}

// Periodic search stopped, the search's rounds ended, receive thread
// stopped and awaited (its wait is woken), then the sockets closed and the
// queued replies freed. Runs once.
void CSearchDeviceDlg::RunExitSteps() {
    if (m_exitDone) return;
    m_exitDone = true;
    if (m_confirmation) m_confirmation->Stop();
    if (m_searchThread) m_searchThread->Stop();
    m_searchSender.Stop();
    m_session.Stop();
    m_moreReplies = false;
}

void CSearchDeviceDlg::EndDialog(int code) {
    if (IsModal())
        EndModal(code);
    else
        Hide();
}

void CSearchDeviceDlg::OnSelectAll(wxCommandEvent&) {
    const bool checked = m_checkAll->IsChecked();
    SelectAllRows(*m_listDevice, checked);
    EnableCommandButtons(checked);
}

void CSearchDeviceDlg::OnListClick(wxListEvent&) {
    EnableCommandButtons(m_listDevice->GetSelectedItemCount() > 0);
}

// The row under a double click of the mouse; a double click off the rows
// (index -1) opens nothing.
void CSearchDeviceDlg::OnListDblClk(wxListEvent& event) {
    OpenDevicePage(*m_listDevice, m_session.Table(), event.GetIndex(), m_openPage, m_tellUser);
}

// A batch's worker refreshes and sends with the send turn: between two
// rounds of a search under way, never inside one.
CSearchDeviceDlg::HandlerScope::HandlerScope(CSearchDeviceDlg& window) : m_window(window) {
    wxASSERT(wxIsMainThread());
    if (m_window.m_searchThread) m_window.m_searchThread->Hold();
}

CSearchDeviceDlg::HandlerScope::~HandlerScope() {
    if (m_window.m_searchThread) m_window.m_searchThread->Release();
}

void CSearchDeviceDlg::OnAutoAssignIP(wxCommandEvent&) {
    const HandlerScope scope(*this);
    m_confirmation->Start(
        AutoAssignIP(this, *m_listDevice, m_session, *m_arpProbe, m_askUser, m_tellUser));
}

void CSearchDeviceDlg::OnChangeModel(wxCommandEvent&) {
    const HandlerScope scope(*this);
    ChangeModel(this, *m_listDevice, m_session, m_tellUser);
}

void CSearchDeviceDlg::RunCommandOnSelected(std::int32_t command) {
    const HandlerScope scope(*this);
    SendCommandToSelected(this, *m_listDevice, m_session, command, m_tellUser);
}

void CSearchDeviceDlg::OnReboot(wxCommandEvent&) { RunCommandOnSelected(protocol::CMD_REBOOT); }
void CSearchDeviceDlg::OnFactoryReset(wxCommandEvent&) {
    const HandlerScope scope(*this);
    FactoryResetSelected(this, *m_listDevice, m_session, m_askUser, m_tellUser);
}
void CSearchDeviceDlg::OnMotorStart(wxCommandEvent&) {
    RunCommandOnSelected(protocol::CMD_MOTOR_START);
}
void CSearchDeviceDlg::OnMotorStop(wxCommandEvent&) {
    RunCommandOnSelected(protocol::CMD_MOTOR_STOP);
}

}  // namespace vimbrel
