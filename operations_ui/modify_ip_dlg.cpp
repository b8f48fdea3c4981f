#include "operations_ui/modify_ip_dlg.h"

#include <utility>

#include <wx/button.h>
#include <wx/log.h>
#include <wx/xrc/xmlres.h>

#include "controls_ui/ip_address_ctrl.h"
#include "operations/address_rules.h"
#include "operations/batch_report.h"
#include "operations_ui/report_words.h"
#include "operations/ip_assignment.h"
#include "res/control_ids.h"
#include "res/resources.h"

namespace vimbrel {

CModifyIPDlg::CModifyIPDlg(wxWindow* parent, std::function<void(const wxString&)> refuse)
    : m_refuse(std::move(refuse)) {
    LoadResources();
    {
        const wxLogNull quiet;  // a failed load is said by the caller
        if (!wxXmlResource::Get()->LoadDialog(this, parent, ids::kModifyIPDialog)) return;
    }
    m_startIP = wxDynamicCast(FindWindow(ids::kStartIP), CIPAddressCtrl);
    m_subnetMask = wxDynamicCast(FindWindow(ids::kSubnetMask), CIPAddressCtrl);
    m_gateway = wxDynamicCast(FindWindow(ids::kGateway), CIPAddressCtrl);

    m_dwGateway = IPTextToAddress(L"192.168.2.1");
    m_dwSubnetMask = IPTextToAddress(L"255.255.255.0");
    m_dwStartIP = IPTextToAddress(L"192.168.2.10");
    // Enter alone accepts the defaults.
    if (wxWindow* ok = FindWindow(wxID_OK)) ok->SetFocus();
}

bool CModifyIPDlg::TransferDataToWindow() {
    if (!Loaded()) return false;
    m_startIP->SetAddress(m_dwStartIP);
    m_subnetMask->SetAddress(m_dwSubnetMask);
    m_gateway->SetAddress(m_dwGateway);
    return true;
}

bool CModifyIPDlg::TransferDataFromWindow() {
    if (!Loaded()) return false;
    m_dwStartIP = m_startIP->GetAddress();
    m_dwSubnetMask = m_subnetMask->GetAddress();
    m_dwGateway = m_gateway->GetAddress();
    const AssignmentInputFault fault =
        CheckAssignmentInput(m_dwStartIP, m_dwSubnetMask, m_dwGateway);
    if (fault == AssignmentInputFault::kNone) return true;
    switch (fault) {
    case AssignmentInputFault::kMaskNotContiguous:
    case AssignmentInputFault::kMaskLeavesNoHost: m_subnetMask->SetFocus(); break;
    case AssignmentInputFault::kStartNotUnicast:
    case AssignmentInputFault::kStartNetworkOrBroadcast: m_startIP->SetFocus(); break;
    default: m_gateway->SetFocus(); break;
    }
    if (m_refuse) m_refuse(AssignmentInputFaultWords(fault));
    return false;
}

}  // namespace vimbrel
