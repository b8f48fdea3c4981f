#pragma once
// Selection of the device list: select-all, the walk over the selected rows
// in list order, and a cell read into a 32-byte code-page buffer.
#include <functional>
#include <string>
#include <vector>

#include <wx/listctrl.h>

#include "protocol/device_packet.h"
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

// The cell's text in the code page, zero-terminated, in 32 zero-filled
// bytes; all zero when it doesn't fit.
protocol::CellBuffer ReadCellAnsi(const wxListCtrl& list, long row, int column);

}  // namespace vimbrel
