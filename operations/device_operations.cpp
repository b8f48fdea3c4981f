#include "operations/device_operations.h"

#ifdef __WXMSW__
#include <windows.h>
#include <shellapi.h>
#endif
#include <wx/utils.h>

#include "operations/cell_text.h"
#include "operations/change_hw_modle_dlg.h"
#include "operations/device_columns.h"
#include "operations/device_page.h"
#include "operations/ip_assignment.h"
#include "operations/model_names.h"
#include "operations/modify_ip_dlg.h"
#include "operations/selected_rows.h"
#include "protocol/command_sender.h"

namespace vimbrel {
void SendCommandToSelected(const wxListCtrl& list, protocol::LocalSockets& sockets,
                           std::int32_t command) {
    ForEachSelectedRow(list, [&](long row) {
        protocol::SendCommand(sockets, command, ReadCellAnsi(list, row, column::kSerial));
    });
}

bool OpenInDefaultBrowser(const wxString& address) {
#ifdef __WXMSW__
    const auto result = ShellExecuteW(nullptr, L"open", address.wc_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    return reinterpret_cast<INT_PTR>(result) > 32;
#else
    return wxLaunchDefaultBrowser(address);
#endif
}

bool OpenDevicePage(const wxListCtrl& list, long row,
                    const std::function<bool(const wxString&)>& open) {
    if (row < 0 || row >= list.GetItemCount()) return false;
    const auto address = DevicePageAddress(list.GetItemText(row, column::kAddress).ToStdWstring(),
                                           list.GetItemText(row, column::kPort).ToStdWstring());
    if (!address) return false;
    open(wxString(*address));
    return true;
}

void AutoAssignIP(wxWindow* parent, const wxListCtrl& list, protocol::LocalSockets& sockets,
                  platform::ArpProbe& probe) {
    CModifyIPDlg dialog(parent);
    if (dialog.ShowModal() != wxID_OK) return;

    AddressCounter counter(dialog.m_dwStartIP, dialog.m_dwSubnetMask);
    protocol::NetConfig block = protocol::MakeNetConfig(dialog.m_dwSubnetMask, dialog.m_dwGateway);
    ForEachSelectedRow(list, [&](long row) {
        const protocol::CellBuffer mac = ReadCellAnsi(list, row, column::kMac);
        if (const auto address = counter.NextFreeAddress(probe)) {
            protocol::SetNetConfigAddress(block, address->c_str());
            protocol::SendSetNetwork(sockets, block, mac.data());
        }
    });
}

void ChangeModel(wxWindow* parent, const wxListCtrl& list, protocol::LocalSockets& sockets) {
    CChangeHwModleDlg dialog(parent);
    if (dialog.ShowModal() != wxID_OK) return;

    const char* model = MatchModelName(ToCellBuffer(dialog.m_strModel.ToStdWstring()));
    if (!model) return;
    ForEachSelectedRow(list, [&](long row) {
        const protocol::CellBuffer mac = ReadCellAnsi(list, row, column::kMac);
        protocol::SendSetModel(sockets, mac.data(), model);
    });
}

}  // namespace vimbrel
