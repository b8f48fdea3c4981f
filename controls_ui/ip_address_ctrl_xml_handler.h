#pragma once

#include <wx/xrc/xmlres.h>

// Lets a dialog resource hold <object class="CIPAddressCtrl">.
class CIPAddressCtrlXmlHandler : public wxXmlResourceHandler {
public:
    CIPAddressCtrlXmlHandler();

    wxObject* DoCreateResource() override;
    bool CanHandle(wxXmlNode* node) override;

private:
    wxDECLARE_DYNAMIC_CLASS(CIPAddressCtrlXmlHandler);
};
