#include "operations_ui/selected_rows.h"

namespace vimbrel {

void SelectAllRows(wxListCtrl& list, bool checked) {
    const long count = list.GetItemCount();
    for (long row = 0; row < count; ++row) {
        list.SetFocus();
        if (checked)
            list.SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        else
            list.SetItemState(row, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    }
}

std::optional<std::size_t> TableIndexOf(const CSortListCtrl& list, long item,
                                        const DeviceTable& table) {
    const RowRecord* record = list.GetRowRecord(item);
    if (record == nullptr || record->rowTag >= table.Rows().size()) return std::nullopt;
    return record->rowTag;
}

const TableRow* RowOf(const CSortListCtrl& list, long item, const DeviceTable& table) {
    const auto index = TableIndexOf(list, item, table);
    return index ? &table.Rows()[*index] : nullptr;
}

std::vector<TableRow> SelectedTableRows(const CSortListCtrl& list, const DeviceTable& table) {
    std::vector<TableRow> rows;
    for (long item = list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item != -1;
         item = list.GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        if (const TableRow* row = RowOf(list, item, table)) rows.push_back(*row);
    return rows;
}

}  // namespace vimbrel
