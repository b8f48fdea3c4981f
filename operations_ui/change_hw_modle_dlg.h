#pragma once
// Asks for the product model the selected devices are to report
// (template 130), beside the table of models; the combo box offers the
// known names (kModelNames) and takes a typed one.
#include <wx/combobox.h>
#include <wx/dialog.h>

namespace vimbrel {

class CChangeHwModleDlg : public wxDialog {
public:
    explicit CChangeHwModleDlg(wxWindow* parent);
    // False when the template or its combo box could not be loaded: the
    // dialog must not be shown then.
    bool Loaded() const { return m_comboModel != nullptr; }

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    // The combo box's whole text, picked or typed; valid after OK.
    wxString m_strModel;

private:
    wxComboBox* m_comboModel = nullptr;
};

}  // namespace vimbrel
