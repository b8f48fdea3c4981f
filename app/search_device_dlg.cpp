#include "app/search_device_dlg.h"

#include <wx/xrc/xmlres.h>

#include "operations/device_columns.h"
#include "operations/device_operations.h"
#include "operations/device_row.h"
#include "operations/selected_rows.h"
#include "protocol/command_sender.h"
#include "protocol/device_packet.h"
#include "res/control_ids.h"
#include "res/resources.h"

namespace vimbrel {

wxDEFINE_EVENT(EVT_DEVICE_REPLY, wxThreadEvent);

// The generic list control draws its rows in a child window of its own.
wxWindow& ListClickWindow(wxListCtrl& list) {
    for (wxWindow* child : list.GetChildren())
        if (child->GetClassInfo()->GetClassName() == wxString("wxListMainWindow")) return *child;
    return list;
}

wxBEGIN_EVENT_TABLE(CSearchDeviceDlg, wxDialog)
    EVT_BUTTON(ids::kSearch, CSearchDeviceDlg::OnSearchButton)
    EVT_BUTTON(wxID_CANCEL, CSearchDeviceDlg::OnExit)
    EVT_BUTTON(wxID_OK, CSearchDeviceDlg::OnOK)
    EVT_CLOSE(CSearchDeviceDlg::OnClose)
    EVT_CHECKBOX(ids::kCheckAll, CSearchDeviceDlg::OnSelectAll)
    EVT_BUTTON(ids::kAutoAssignIP, CSearchDeviceDlg::OnAutoAssignIP)
    EVT_LIST_ITEM_ACTIVATED(ids::kDeviceList, CSearchDeviceDlg::OnListDblClk)
    EVT_BUTTON(ids::kReboot, CSearchDeviceDlg::OnReboot)
    EVT_BUTTON(ids::kFactoryReset, CSearchDeviceDlg::OnFactoryReset)
    EVT_BUTTON(ids::kChangeModel, CSearchDeviceDlg::OnChangeModel)
    EVT_BUTTON(ids::kMotorStart, CSearchDeviceDlg::OnMotorStart)
    EVT_BUTTON(ids::kMotorStop, CSearchDeviceDlg::OnMotorStop)
wxEND_EVENT_TABLE()

CSearchDeviceDlg::CSearchDeviceDlg() {
    LoadResources();
    wxXmlResource::Get()->LoadDialog(this, nullptr, ids::kSearchDeviceDialog);
    // The template's size is converted before its font is set; the controls
    // are placed with the font.
    SetClientSize(ConvertDialogToPixels(wxSize(469, 335)));

    m_listDevice = wxStaticCast(FindWindow(ids::kDeviceList), ::CSortListCtrl);
    m_staticOnline = wxStaticCast(FindWindow(ids::kStaticOnline), wxStaticText);
    m_checkAll = wxStaticCast(FindWindow(ids::kCheckAll), wxCheckBox);
    for (std::size_t i = 0; i < m_btnCommand.size(); ++i)
        m_btnCommand[i] = wxStaticCast(FindWindow(ids::kCommandButtons[i]), wxButton);
    SetEscapeId(wxID_CANCEL);
    Bind(EVT_DEVICE_REPLY, &CSearchDeviceDlg::OnDeviceReplyEvent, this);
    // A click anywhere in the list, selection already updated by the list.
    ListClickWindow(*m_listDevice).Bind(wxEVT_LEFT_UP, &CSearchDeviceDlg::OnListClick, this);

    m_arpProbe = platform::MakeSystemArpProbe();
    m_openPage = OpenInDefaultBrowser;
    OnInitDialog();
}

CSearchDeviceDlg::~CSearchDeviceDlg() { RunExitSteps(); }

void CSearchDeviceDlg::OnInitDialog() {
    InitDeviceList();
    m_receiver = std::make_unique<protocol::ReplyReceiver>(m_sockets, m_replies, [this] {
        wxQueueEvent(this, new wxThreadEvent(EVT_DEVICE_REPLY));
    });
    m_searchThread = std::make_unique<PeriodicSearch>(
        [this](const std::function<void()>& call) { CallAfter(call); },
        [this] { OnSearch(); });
    m_searchThread->Start();
    m_receiver->Start();
    EnableCommandButtons(false);
    m_staticOnline->SetLabel(wxEmptyString);
    OnSearch();
}

void CSearchDeviceDlg::InitDeviceList() {
    for (int i = 0; i < column::kCount; ++i)
        m_listDevice->InsertColumn(i, kDeviceColumns[i].title, wxLIST_FORMAT_LEFT,
                                   kDeviceColumns[i].width);
    m_listDevice->LoadColumnWidths();
}

void CSearchDeviceDlg::EnableCommandButtons(bool enable) {
    for (wxButton* button : m_btnCommand) button->Enable(enable);
}

// The search: empty the list, bring the sockets up to date, send the request
// on every socket, then reset the selection controls.
void CSearchDeviceDlg::OnSearch() {
    m_listDevice->DeleteAllItems();
    protocol::SendSearch(m_sockets);
    m_checkAll->SetValue(false);
    EnableCommandButtons(false);
    m_staticOnline->SetLabel(wxEmptyString);
}

void CSearchDeviceDlg::OnSearchButton(wxCommandEvent&) { OnSearch(); }

// One queued reply becomes one row, unless its MAC is listed already.
void CSearchDeviceDlg::OnDeviceReply() {
    std::unique_ptr<protocol::ReplyBuffer> buffer = m_replies.TakeFront();
    if (!buffer) return;
    const DeviceRow device = MakeDeviceRow(protocol::DeviceReply(*buffer));
    const long n = m_listDevice->GetItemCount();
    const wxString mac(device.mac);
    for (long row = 0; row < n; ++row)
        if (m_listDevice->GetItemText(row, 4) == mac) return;  // listed already

    m_listDevice->Freeze();
    m_listDevice->AddItem({wxString::Format("%ld", n + 1), wxString(device.serial),
                           wxString(device.model), wxString(device.ip), mac, wxString(device.port),
                           wxString(device.firmware), wxString(device.status)});
    m_listDevice->Thaw();
    m_staticOnline->SetLabel(wxString::Format("%ld", n + 1));
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

// Periodic search stopped, receive thread stopped and awaited, then the
// sockets closed and the queued replies freed. Runs once.
void CSearchDeviceDlg::RunExitSteps() {
    if (m_exitDone) return;
    m_exitDone = true;
    if (m_searchThread) m_searchThread->Stop();
    if (m_receiver) m_receiver->Stop();
    m_sockets.CloseLocalSockets();
    m_replies.Clear();
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

void CSearchDeviceDlg::OnListClick(wxMouseEvent& event) {
    event.Skip();
    EnableCommandButtons(m_listDevice->GetSelectedItemCount() > 0);
}

void CSearchDeviceDlg::OnListDblClk(wxListEvent& event) {
    OpenDevicePage(*m_listDevice, event.GetIndex(), m_openPage);
}

void CSearchDeviceDlg::OnAutoAssignIP(wxCommandEvent&) {
    AutoAssignIP(this, *m_listDevice, m_sockets, *m_arpProbe);
}

void CSearchDeviceDlg::OnChangeModel(wxCommandEvent&) {
    ChangeModel(this, *m_listDevice, m_sockets);
}

void CSearchDeviceDlg::SendCommandToSelected(std::int32_t command) {
    vimbrel::SendCommandToSelected(*m_listDevice, m_sockets, command);
}

void CSearchDeviceDlg::OnReboot(wxCommandEvent&) { SendCommandToSelected(protocol::CMD_REBOOT); }
void CSearchDeviceDlg::OnFactoryReset(wxCommandEvent&) {
    SendCommandToSelected(protocol::CMD_FACTORY_RESET);
}
void CSearchDeviceDlg::OnMotorStart(wxCommandEvent&) {
    SendCommandToSelected(protocol::CMD_MOTOR_START);
}
void CSearchDeviceDlg::OnMotorStop(wxCommandEvent&) {
    SendCommandToSelected(protocol::CMD_MOTOR_STOP);
}

}  // namespace vimbrel
