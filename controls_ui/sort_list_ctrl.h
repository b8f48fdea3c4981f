#pragma once

#include "controls_ui/sort_header_ctrl.h"

#include <wx/listctrl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class wxConfigBase;

// A click anywhere in the list, after the list has updated its selection
// (the list view's NM_CLICK), and a double click of the mouse (NM_DBLCLK),
// whose index is the row under the pointer or -1. Both are list events of
// the control and go on to its parent. Enter, which also activates a row,
// is neither.
wxDECLARE_EVENT(EVT_LIST_CLICK, wxListEvent);
wxDECLARE_EVENT(EVT_LIST_DBLCLK, wxListEvent);
// Their event-table entries.
#define EVT_LIST_NM_CLICK(id, fn) wx__DECLARE_EVT1(EVT_LIST_CLICK, id, wxListEventHandler(fn))
#define EVT_LIST_NM_DBLCLK(id, fn) wx__DECLARE_EVT1(EVT_LIST_DBLCLK, id, wxListEventHandler(fn))

// A row tagged with nothing of its owner's.
inline constexpr std::size_t kNoRowTag = static_cast<std::size_t>(-1);

// One row's own copy of its texts, for display and sorting, reached through
// the row's item data, and the owner's tag, which travels with the row when
// it is sorted.
struct RowRecord {
    std::vector<wxString> columnTexts;
    std::size_t rowTag = kNoRowTag;  // for the owner; the list never reads it
};

// Report-view list that keeps a copy of every row's texts, sorts by a clicked
// column in alternating directions, renumbers column 0 and restores stored
// column widths. Like every control, it is changed on the window thread only
// (asserted where rows are added, removed or sorted).
class CSortListCtrl : public wxListCtrl {
public:
    CSortListCtrl();
    CSortListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize, long style = wxLC_REPORT);
    CSortListCtrl(const CSortListCtrl&) = delete;
    CSortListCtrl& operator=(const CSortListCtrl&) = delete;

    // Appends a row of exactly m_nColumnCount texts at the end, whatever the
    // sort, its record tagged `rowTag`. Returns its index, or -1 (nothing
    // added) for a wrong text count.
    int AddItem(const std::vector<wxString>& columnTexts, std::size_t rowTag = kNoRowTag);

    // Removes every row and its record; the sort column and direction stay.
    void DeleteAllItems();

    // Fixes the column count at `columnCount`, the count AddItem takes, then
    // applies the widths stored under "ListCtrls/<control id>" of the
    // application's config when the value holds that count. Reads only.
    void LoadColumnWidths(int columnCount);
    void LoadColumnWidths(int columnCount, wxConfigBase& config);

    // Sort comparison over two rows' records; sortData is the list.
    static int wxCALLBACK CompareRows(wxIntPtr item1, wxIntPtr item2, wxIntPtr sortData);

    int GetSortColumn() const { return m_nSortColumn; }
    bool IsSortAscending() const { return m_bSortAscending; }
    // The row's record, or nullptr when the row has none.
    const RowRecord* GetRowRecord(long item) const;

private:
    void OnColumnClick(wxListEvent& event);
    void NotifyClick(wxEventType type, long item);
#ifdef __WXMSW__
    // Windows' own list view tells its clicks in notifications.
    bool MSWOnNotify(int idCtrl, WXLPARAM lParam, WXLPARAM* result) override;
#else
    // The generic list hands the mouse events of its rows' window to the
    // list before it handles them itself.
    void OnRowsLeftUp(wxMouseEvent& event);
    void OnRowsDoubleClick(wxMouseEvent& event);
#endif
    void RenumberRows();

    CSortHeaderCtrl m_wndHeader;
    int m_nColumnCount = 0;
    int m_nSortColumn = -1;
    bool m_bSortAscending = true;
    std::vector<std::unique_ptr<RowRecord>> m_records;

    wxDECLARE_DYNAMIC_CLASS(CSortListCtrl);
    wxDECLARE_EVENT_TABLE();
};
