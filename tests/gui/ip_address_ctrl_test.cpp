#include "controls_ui/ip_address_ctrl.h"
#include "controls_ui/ip_address_ctrl_xml_handler.h"
#include "controls_ui/sort_list_ctrl.h"
#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/sstream.h>
#include <wx/textctrl.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

namespace {

TEST(IPAddressCtrlTest, RoundTripBlankFieldsAndRefusedText) {
    TestFrame frame;
    auto* ctrl = new CIPAddressCtrl(frame.get(), 1008, wxDefaultPosition, wxSize(200, 30));
    auto field = [ctrl](int i) { return ctrl->GetOctetField(i); };
    ctrl->SetAddress(0xC0A8020Au);
    EXPECT_EQ(field(0)->GetValue(), "192") << "the first octet is the highest byte";
    EXPECT_EQ(ctrl->GetAddress(), 0xC0A8020Au);
    ctrl->SetAddress(0xFFFFFFFFu);
    EXPECT_EQ(ctrl->GetAddress(), 0xFFFFFFFFu);

    ctrl->SetAddress(0xC0A80201u);
    field(2)->SetValue("");
    EXPECT_EQ(ctrl->GetAddress(), 0xC0A80001u);

    field(3)->SetValue("30");
    for (const char* refused : {"300", "25x"}) {
        field(3)->SetValue(refused);
        EXPECT_EQ(field(3)->GetValue(), "30") << refused;
    }
    field(3)->SetValue("255");
    EXPECT_EQ(ctrl->GetAddress(), 0xC0A800FFu);
}

// A dialog resource holding both controls, by class name and by subclass.
TEST(ControlResources, DialogResourceCreatesBothControls) {
    wxXmlResource::Get()->AddHandler(new CIPAddressCtrlXmlHandler);
    wxStringInputStream xrc(R"(<resource xmlns="http://www.wxwidgets.org/wxxrc" version="2.5.3.0">
  <object class="wxDialog" name="testdlg">
    <object class="CIPAddressCtrl" name="1008">
      <size>100,15d</size>
    </object>
    <object class="wxListCtrl" name="1003" subclass="CSortListCtrl">
      <style>wxLC_REPORT</style>
    </object>
  </object>
</resource>)");
    ASSERT_TRUE(wxXmlResource::Get()->LoadDocument(new wxXmlDocument(xrc), "test.xrc"));

    wxDialog dialog;
    ASSERT_TRUE(wxXmlResource::Get()->LoadDialog(&dialog, nullptr, "testdlg"));
    auto* ip = wxDynamicCast(dialog.FindWindow(XRCID("1008")), CIPAddressCtrl);
    auto* list = wxDynamicCast(dialog.FindWindow(XRCID("1003")), CSortListCtrl);
    ASSERT_TRUE(ip != nullptr && list != nullptr);
    EXPECT_EQ(ip->GetSize(), dialog.ConvertDialogToPixels(wxSize(100, 15)));
    EXPECT_EQ(list->GetId(), 1003) << "a numeric resource name is the control id";
    wxXmlResource::Get()->Unload("test.xrc");
}

}  // namespace
