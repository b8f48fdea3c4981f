#include "operations/change_hw_modle_dlg.h"

#include <wx/xrc/xmlres.h>

#include "res/resources.h"

namespace vimbrel {

CChangeHwModleDlg::CChangeHwModleDlg(wxWindow* parent) {
    LoadResources();
    wxXmlResource::Get()->LoadDialog(this, parent, "130");
    m_comboModel = XRCCTRL(*this, "1011", wxComboBox);
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
