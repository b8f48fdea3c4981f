#include "controls_ui/sort_header_ctrl.h"

#include "controls/column_widths.h"

#include <wx/listctrl.h>

CSortHeaderCtrl::CSortHeaderCtrl(wxListCtrl& list) : m_list(list) {}

void CSortHeaderCtrl::SetSortArrow(int column, bool ascending) {
    m_nSortColumn = column;
    m_bSortAscending = ascending;
    // The toolkit keeps a single indicator: setting it on one column clears
    // every other one.
    m_list.ShowSortIndicator(column, ascending);
}

void CSortHeaderCtrl::LoadStoredWidths(const std::vector<std::uint8_t>& stored, int columnCount) {
    const std::vector<int> widths = ParseColumnWidths(stored.data(), stored.size(), columnCount);
    for (std::size_t i = 0; i < widths.size(); ++i)
        m_list.SetColumnWidth(static_cast<int>(i), widths[i]);
}
