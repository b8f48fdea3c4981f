#include "controls_ui/ip_address_ctrl_xml_handler.h"

#include "controls_ui/ip_address_ctrl.h"

wxIMPLEMENT_DYNAMIC_CLASS(CIPAddressCtrlXmlHandler, wxXmlResourceHandler);

CIPAddressCtrlXmlHandler::CIPAddressCtrlXmlHandler() { AddWindowStyles(); }

wxObject* CIPAddressCtrlXmlHandler::DoCreateResource() {
    XRC_MAKE_INSTANCE(control, CIPAddressCtrl)
    control->Create(m_parentAsWindow, GetID(), GetPosition(), GetSize(), GetStyle(), GetName());
    SetupWindow(control);
    return control;
}

bool CIPAddressCtrlXmlHandler::CanHandle(wxXmlNode* node) {
    return IsOfClass(node, "CIPAddressCtrl");
}
