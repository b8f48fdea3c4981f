#pragma once
// Asks for the start address, subnet mask and default gateway of the
// automatic address assignment (template 278). OK with values the assignment
// cannot use (CheckAssignmentInput) says why and keeps the dialog open with
// the values as entered.
#include <cstdint>
#include <functional>

#include <wx/string.h>

#include <wx/dialog.h>

class CIPAddressCtrl;

namespace vimbrel {

class CModifyIPDlg : public wxDialog {
public:
    // `refuse` shows the reason OK was refused.
    CModifyIPDlg(wxWindow* parent, std::function<void(const wxString&)> refuse);
    // False when the template or one of its controls could not be loaded:
    // the dialog must not be shown then.
    bool Loaded() const { return m_startIP && m_subnetMask && m_gateway; }

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    // First octet in the highest byte; valid after OK.
    std::uint32_t m_dwStartIP = 0;
    std::uint32_t m_dwSubnetMask = 0;
    std::uint32_t m_dwGateway = 0;

private:
    CIPAddressCtrl* m_startIP = nullptr;
    CIPAddressCtrl* m_subnetMask = nullptr;
    CIPAddressCtrl* m_gateway = nullptr;
    std::function<void(const wxString&)> m_refuse;
};

}  // namespace vimbrel
