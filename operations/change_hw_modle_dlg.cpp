#include "operations/change_hw_modle_dlg.h"

#include <wx/xrc/xmlres.h>

#include "res/control_ids.h"
#include "res/resources.h"

namespace vimbrel {

CChangeHwModleDlg::CChangeHwModleDlg(wxWindow* parent) {
    LoadResources();
    wxXmlResource::Get()->LoadDialog(this, parent, ids::kChangeHwModleDialog);
    m_comboModel = wxStaticCast(FindWindow(ids::kModelCombo), wxComboBox);
    if (wxWindow* ok = FindWindow(wxID_OK)) ok->SetFocus();
}

bool CChangeHwModleDlg::TransferDataToWindow() {
    m_comboModel->SetValue(m_strModel);
    return true;
}

bool CChangeHwModleDlg::TransferDataFromWindow() {
    m_strModel = m_comboModel->GetValue();
    return true;
}

}  // namespace vimbrel
