#pragma once
// The device list's rows as the session's table rows: each list row is
// tagged with its index in the table (DeviceTable::Rows), a tag that stays
// with the row when the list is sorted. What acts on rows reads them here,
// never the cells' texts, which are for display and sorting only.
#include <cstddef>
#include <optional>
#include <vector>

#include "controls_ui/sort_list_ctrl.h"
#include "session/device_table.h"

namespace vimbrel {

// Selects every row (checked) or clears every row's selection and focus.
void SelectAllRows(wxListCtrl& list, bool checked);

// The index in `table` of list row `item`; nothing for no row or a row not
// tagged with a row of this table.
std::optional<std::size_t> TableIndexOf(const CSortListCtrl& list, long item,
                                        const DeviceTable& table);
// The table row list row `item` shows; nullptr as TableIndexOf has nothing.
const TableRow* RowOf(const CSortListCtrl& list, long item, const DeviceTable& table);

// The selected rows' table rows, top to bottom (the list's display order),
// copied: read before a batch starts, so the list and the table may change
// under it.
std::vector<TableRow> SelectedTableRows(const CSortListCtrl& list, const DeviceTable& table);

}  // namespace vimbrel
