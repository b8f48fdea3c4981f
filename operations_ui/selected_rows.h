#pragma once
// Selection of the device list: select-all, and the walk over the selected
// rows in list order.
#include <functional>
#include <string>
#include <vector>

#include <wx/listctrl.h>

#include "session/command_plan.h"

namespace vimbrel {

// Selects every row (checked) or clears every row's selection and focus.
void SelectAllRows(wxListCtrl& list, bool checked);

// Calls `process` for each selected row, top to bottom. The next selected
// row is looked up before a row is processed.
void ForEachSelectedRow(const wxListCtrl& list, const std::function<void(long row)>& process);

// What a batch needs of the selected rows (column::kSerial, column::kMac),
// read before the batch starts so the list may change under it.
std::vector<PlanDevice> SelectedDevices(const wxListCtrl& list);

}  // namespace vimbrel
