#include "controls_ui/sort_list_ctrl.h"

#include "controls_ui/text_compare.h"

#include <wx/config.h>
#include <wx/thread.h>
#ifdef __WXMSW__
#include <wx/msw/wrapcctl.h>
#endif

wxDEFINE_EVENT(EVT_LIST_CLICK, wxListEvent);
wxDEFINE_EVENT(EVT_LIST_DBLCLK, wxListEvent);

wxIMPLEMENT_DYNAMIC_CLASS(CSortListCtrl, wxListCtrl);

wxBEGIN_EVENT_TABLE(CSortListCtrl, wxListCtrl)
    EVT_LIST_COL_CLICK(wxID_ANY, CSortListCtrl::OnColumnClick)
#ifndef __WXMSW__
    EVT_LEFT_UP(CSortListCtrl::OnRowsLeftUp)
    EVT_LEFT_DCLICK(CSortListCtrl::OnRowsDoubleClick)
#endif
wxEND_EVENT_TABLE()

CSortListCtrl::CSortListCtrl() : m_wndHeader(*this) {}

CSortListCtrl::CSortListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                             const wxSize& size, long style)
    : wxListCtrl(parent, id, pos, size, style), m_wndHeader(*this) {}

void CSortListCtrl::NotifyClick(wxEventType type, long item) {
    wxListEvent event(type, GetId());
    event.SetEventObject(this);
    event.SetIndex(item);
    ProcessWindowEvent(event);
}

#ifdef __WXMSW__
bool CSortListCtrl::MSWOnNotify(int idCtrl, WXLPARAM lParam, WXLPARAM* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (static_cast<WXHWND>(header->hwndFrom) == GetHWND() &&
        (header->code == NM_CLICK || header->code == NM_DBLCLK)) {
        const long item = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
        NotifyClick(header->code == NM_CLICK ? EVT_LIST_CLICK : EVT_LIST_DBLCLK, item);
    }
    return wxListCtrl::MSWOnNotify(idCtrl, lParam, result);
}
#else
void CSortListCtrl::OnRowsLeftUp(wxMouseEvent& event) {
    event.Skip();
    NotifyClick(EVT_LIST_CLICK, -1);
}

void CSortListCtrl::OnRowsDoubleClick(wxMouseEvent& event) {
    event.Skip();
    int flags = 0;
    const long row = HitTest(event.GetPosition(), flags);
    NotifyClick(EVT_LIST_DBLCLK, (flags & wxLIST_HITTEST_ONITEM) ? row : -1);
}
#endif

int CSortListCtrl::AddItem(const std::vector<wxString>& columnTexts, std::size_t rowTag) {
    wxASSERT(wxIsMainThread());
    if (m_nColumnCount <= 0 || columnTexts.size() != static_cast<std::size_t>(m_nColumnCount))
        return -1;

    const long index = InsertItem(GetItemCount(), columnTexts[0]);
    if (index < 0) return -1;

    auto record = std::make_unique<RowRecord>();
    record->columnTexts = columnTexts;
    record->rowTag = rowTag;
    for (int column = 1; column < m_nColumnCount; ++column)
        SetItem(index, column, columnTexts[column]);

    SetItemPtrData(index, reinterpret_cast<wxUIntPtr>(record.get()));
    m_records.push_back(std::move(record));
    return static_cast<int>(index);
}

void CSortListCtrl::DeleteAllItems() {
    wxASSERT(wxIsMainThread());
    // Rows first, then their records: no row ever points at a freed record.
    // (Clearing each row's pointer first would cost a redraw request per row.)
    wxListCtrl::DeleteAllItems();
    m_records.clear();
}

void CSortListCtrl::LoadColumnWidths(int columnCount) {
    m_nColumnCount = columnCount;
    if (wxConfigBase* config = wxConfigBase::Get()) LoadColumnWidths(columnCount, *config);
}

void CSortListCtrl::LoadColumnWidths(int columnCount, wxConfigBase& config) {
    m_nColumnCount = columnCount;

    const wxString key = wxString::Format("/ListCtrls/%d", GetId());
    if (!config.HasEntry(key)) return;
    wxMemoryBuffer buffer;
    if (!config.Read(key, &buffer) || buffer.GetDataLen() == 0) return;

    const auto* bytes = static_cast<const std::uint8_t*>(buffer.GetData());
    m_wndHeader.LoadStoredWidths(std::vector<std::uint8_t>(bytes, bytes + buffer.GetDataLen()),
                                 columnCount);
    Refresh();
}

const RowRecord* CSortListCtrl::GetRowRecord(long item) const {
    if (item < 0 || item >= GetItemCount()) return nullptr;
    return reinterpret_cast<const RowRecord*>(GetItemData(item));
}

int wxCALLBACK CSortListCtrl::CompareRows(wxIntPtr item1, wxIntPtr item2, wxIntPtr sortData) {
    const auto* list = reinterpret_cast<const CSortListCtrl*>(sortData);
    const auto* row1 = reinterpret_cast<const RowRecord*>(item1);
    const auto* row2 = reinterpret_cast<const RowRecord*>(item2);
    // Rows without a record (put in past AddItem) sort as equal; they hold no copy.
    if (list == nullptr || row1 == nullptr || row2 == nullptr) return 0;

    const auto column = static_cast<std::size_t>(list->m_nSortColumn);
    if (column >= row1->columnTexts.size() || column >= row2->columnTexts.size()) return 0;
    const wxString& text1 = row1->columnTexts[column];
    const wxString& text2 = row2->columnTexts[column];
    return list->m_bSortAscending ? CompareText(text1, text2) : CompareText(text2, text1);
}

void CSortListCtrl::OnColumnClick(wxListEvent& event) {
    wxASSERT(wxIsMainThread());
    // Not skipped: column clicks end here. Column 0 holds the row numbers and
    // a column past the rows' texts has nothing to sort by.
    const int column = event.GetColumn();
    if (column <= 0 || column >= m_nColumnCount) return;

    const bool ascending = column == m_nSortColumn ? !m_bSortAscending : true;
    m_nSortColumn = column;
    m_bSortAscending = ascending;
    m_wndHeader.SetSortArrow(column, ascending);

    SortItems(&CSortListCtrl::CompareRows, reinterpret_cast<wxIntPtr>(this));
    RenumberRows();
}

void CSortListCtrl::RenumberRows() {
    for (long item = 0; item < GetItemCount(); ++item) {
        const wxString number = wxString::Format("%ld", item + 1);
        if (!SetItem(item, 0, number)) continue;
        if (auto* record = reinterpret_cast<RowRecord*>(GetItemData(item)); record != nullptr)
            record->columnTexts[0] = number;
    }
}
