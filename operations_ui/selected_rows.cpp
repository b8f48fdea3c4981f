#include "operations_ui/selected_rows.h"

#include "operations/device_columns.h"

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

void ForEachSelectedRow(const wxListCtrl& list, const std::function<void(long row)>& process) {
    long row = list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    while (row != -1) {
        const long next = list.GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
        process(row);
        row = next;
    }
}

std::vector<PlanDevice> SelectedDevices(const wxListCtrl& list) {
    std::vector<PlanDevice> devices;
    ForEachSelectedRow(list, [&](long row) {
        devices.push_back({list.GetItemText(row, column::kSerial).ToStdWstring(),
                           list.GetItemText(row, column::kMac).ToStdWstring()});
    });
    return devices;
}

}  // namespace vimbrel
