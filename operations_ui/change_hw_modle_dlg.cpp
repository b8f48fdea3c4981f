#include "operations_ui/change_hw_modle_dlg.h"

#include <wx/log.h>
#include <wx/xrc/xmlres.h>

#include "operations/model_names.h"
#include "res/control_ids.h"
#include "res/resources.h"

namespace vimbrel {

CChangeHwModleDlg::CChangeHwModleDlg(wxWindow* parent) {
    LoadResources();
    {
        const wxLogNull quiet;  // a failed load is said by the caller
        if (!wxXmlResource::Get()->LoadDialog(this, parent, ids::kChangeHwModleDialog)) return;
    }
    m_comboModel = wxDynamicCast(FindWindow(ids::kModelCombo), wxComboBox);
    if (m_comboModel != nullptr)
        for (const char* name : kModelNames) m_comboModel->Append(name);
    if (wxWindow* ok = FindWindow(wxID_OK)) ok->SetFocus();
}

bool CChangeHwModleDlg::TransferDataToWindow() {
    if (!Loaded()) return false;
    m_comboModel->SetValue(m_strModel);
    return true;
}

bool CChangeHwModleDlg::TransferDataFromWindow() {
    if (!Loaded()) return false;
    m_strModel = m_comboModel->GetValue();
    return true;
}

}  // namespace vimbrel
