#include "app/device_list_handover.h"

#include <sstream>
#include <string>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/ffile.h>
#include <wx/filedlg.h>
#include <wx/log.h>

#include "app/column_titles.h"
#include "operations/device_columns.h"
#include "operations/device_row.h"
#include "operations_ui/selected_rows.h"
#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"

namespace vimbrel {

namespace {

wxString CellForTabText(wxString text) {
    text.Replace("\r\n", " ");
    for (const wchar_t c : {L'\t', L'\r', L'\n'}) text.Replace(wxString(c), " ");
    return text;
}

std::vector<long> SelectedRowIndexes(const wxListCtrl& list) {
    std::vector<long> rows;
    for (long row = list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
         row = list.GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(row);
    return rows;
}

bool PutOnClipboard(const wxString& text) {
    const wxClipboardLocker locker;
    if (!locker) return false;
    if (!wxTheClipboard->SetData(new wxTextDataObject(text))) return false;
    wxTheClipboard->Flush();  // the text stays after the program ends, where the system can
    return true;
}

}  // namespace

wxString RowsAsTabText(const CSortListCtrl& list, const DeviceTable& table,
                       const std::vector<long>& rows) {
    wxString text;
    for (int c = 0; c < column::kCount; ++c) text << (c ? "\t" : "") << ColumnTitle(c);
    text << "\n";
    for (long row : rows) {
        const TableRow* device = RowOf(list, row, table);
        if (device == nullptr) continue;
        const RowTexts texts =
            TextsInColumnOrder(device->device, static_cast<std::size_t>(row) + 1);
        for (std::size_t c = 0; c < texts.size(); ++c)
            text << (c ? "\t" : "") << CellForTabText(wxString(texts[c]));
        text << "\n";
    }
    return text;
}

DeviceFields FieldsOf(const TableRow& row) {
    const RowTexts texts = TextsInColumnOrder(row.device, 0);  // no row number here
    DeviceFields fields;  // the columns but the row number, then the local address
    for (std::size_t c = column::kSerial; c < texts.size(); ++c)
        fields[c - column::kSerial] = platform::ToUtf8(texts[c]);
    if (row.localAddress != 0) fields.back() = platform::FormatIPv4(row.localAddress);
    return fields;
}

DeviceListHandover::DeviceListHandover(wxWindow& window, CSortListCtrl& list,
                                       const DeviceTable& table,
                                       const std::function<bool(const wxString&)>& openPage,
                                       const TellUser& tell)
    : m_window(window), m_list(list), m_table(table), m_openPage(openPage), m_tell(tell) {
    m_putText = PutOnClipboard;
    m_chooseFile = [this] {
        wxFileDialog dialog(&m_window, _(L"导出为CSV"), wxEmptyString, _(L"设备列表.csv"),
                            _(L"CSV 文件 (*.csv)|*.csv"), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
    };
    m_choosePlan = [this] {
        wxFileDialog dialog(&m_window, _(L"按地址表分配"), wxEmptyString, wxEmptyString,
                            _(L"CSV 文件 (*.csv)|*.csv|所有文件|*"),
                            wxFD_OPEN | wxFD_FILE_MUST_EXIST);
        return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
    };
    m_window.Bind(wxEVT_CHAR_HOOK, &DeviceListHandover::OnCharHook, this);
    m_list.Bind(wxEVT_CONTEXT_MENU, &DeviceListHandover::OnContextMenu, this);
}

// The window and its list outlive the object; their events must not reach
// it once it is gone.
DeviceListHandover::~DeviceListHandover() {
    m_window.Unbind(wxEVT_CHAR_HOOK, &DeviceListHandover::OnCharHook, this);
    m_list.Unbind(wxEVT_CONTEXT_MENU, &DeviceListHandover::OnContextMenu, this);
}

void DeviceListHandover::OnCharHook(wxKeyEvent& event) {
    if (event.GetModifiers() == wxMOD_CONTROL && event.GetKeyCode() == 'C')
        CopySelected();
    else
        event.Skip();
}

void DeviceListHandover::OnContextMenu(wxContextMenuEvent& event) {
    const std::unique_ptr<wxMenu> menu = MakeMenu();
    const wxPoint at = event.GetPosition() == wxDefaultPosition
                           ? wxDefaultPosition
                           : m_list.ScreenToClient(event.GetPosition());
    m_list.PopupMenu(menu.get(), at);
}

void DeviceListHandover::CopySelected() {
    wxASSERT(wxIsMainThread());
    const std::vector<long> rows = SelectedRowIndexes(m_list);
    if (rows.empty()) return;
    if (!m_putText(RowsAsTabText(m_list, m_table, rows)))
        m_tell(_(L"无法打开剪贴板，设备列表未复制。"));
}

void DeviceListHandover::ExportCsv() {
    wxASSERT(wxIsMainThread());
    const wxString path = m_chooseFile();
    if (path.empty()) return;
    std::vector<DeviceFields> devices;
    for (long row = 0; row < m_list.GetItemCount(); ++row)
        if (const TableRow* device = RowOf(m_list, row, m_table))
            devices.push_back(FieldsOf(*device));
    std::ostringstream csv;
    WriteDeviceCsv(csv, devices);
    const std::string bytes = csv.str();
    const wxLogNull quiet;  // said below, in the window's words
    wxFFile file(path, "wb");
    const bool written =
        file.IsOpened() && file.Write(bytes.data(), bytes.size()) == bytes.size() && file.Close();
    if (!written) m_tell(wxString::Format(_(L"无法写入文件“%s”，设备列表未导出。"), path));
}

long DeviceListHandover::MenuRow() const {
    const long focused = m_list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    if (focused != -1 && m_list.GetItemState(focused, wxLIST_STATE_SELECTED)) return focused;
    return m_list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void DeviceListHandover::OpenPage() {
    wxASSERT(wxIsMainThread());
    OpenDevicePage(m_list, m_table, MenuRow(), m_openPage, m_tell);
}

void DeviceListHandover::AssignPlan() {
    wxASSERT(wxIsMainThread());
    const wxString path = m_choosePlan();
    if (!path.empty() && m_assignPlan) m_assignPlan(path);
}

std::unique_ptr<wxMenu> DeviceListHandover::MakeMenu() {
    auto menu = std::make_unique<wxMenu>();
    menu->Append(kCopyId, _(L"复制\tCtrl+C"))->Enable(m_list.GetSelectedItemCount() > 0);
    menu->Append(kExportId, _(L"导出为CSV…"))->Enable(m_list.GetItemCount() > 0);
    menu->AppendSeparator();
    menu->Append(kOpenPageId, _(L"打开网页"))->Enable(MenuRow() != -1);
    menu->AppendSeparator();
    menu->Append(kAssignPlanId, _(L"按地址表分配…"))->Enable(m_list.GetItemCount() > 0);
    menu->Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { CopySelected(); }, kCopyId);
    menu->Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { ExportCsv(); }, kExportId);
    menu->Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { OpenPage(); }, kOpenPageId);
    menu->Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { AssignPlan(); }, kAssignPlanId);
    return menu;
}

}  // namespace vimbrel
