#pragma once

#include <cstdint>
#include <vector>

class wxListCtrl;

// The header side of the sortable list: shows the sort arrow and applies
// stored column widths to the list it belongs to.
class CSortHeaderCtrl {
public:
    explicit CSortHeaderCtrl(wxListCtrl& list);
    CSortHeaderCtrl(const CSortHeaderCtrl&) = delete;
    CSortHeaderCtrl& operator=(const CSortHeaderCtrl&) = delete;

    // Puts the arrow on column alone, pointing up when ascending.
    void SetSortArrow(int column, bool ascending);

    // Applies a stored width value (count, then one width per column) when its
    // count equals `columnCount`; a short value applies what it holds.
    void LoadStoredWidths(const std::vector<std::uint8_t>& stored, int columnCount);

    int GetSortColumn() const { return m_nSortColumn; }
    bool IsSortAscending() const { return m_bSortAscending; }

private:
    wxListCtrl& m_list;
    int m_nSortColumn = -1;
    bool m_bSortAscending = true;
};
