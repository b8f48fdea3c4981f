#include "controls/ip_address_ctrl.h"
#include "controls/ip_address_ctrl_xml_handler.h"
#include "controls/sort_list_ctrl.h"
#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/sstream.h>
#include <wx/textctrl.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include <memory>

namespace {

class IPAddressCtrlTest : public testing::Test
{
protected:
    void SetUp() override { m_ctrl = new CIPAddressCtrl(m_frame.get(), 1008, wxDefaultPosition, wxSize(200, 30)); }

    wxString Field(int i) const { return m_ctrl->GetOctetField(i)->GetValue(); }

    TestFrame m_frame;
    CIPAddressCtrl* m_ctrl = nullptr;
};

TEST_F(IPAddressCtrlTest, AddressRoundTripsWithFirstOctetHighest)
{
    m_ctrl->SetAddress(0xC0A8020Au); // 192.168.2.10
    EXPECT_EQ(Field(0), "192");
    EXPECT_EQ(Field(1), "168");
    EXPECT_EQ(Field(2), "2");
    EXPECT_EQ(Field(3), "10");
    EXPECT_EQ(m_ctrl->GetAddress(), 0xC0A8020Au);

    for (std::uint32_t address : {0x00000000u, 0xFFFFFF00u, 0x01020304u, 0xFFFFFFFFu}) {
        m_ctrl->SetAddress(address);
        EXPECT_EQ(m_ctrl->GetAddress(), address);
    }
}

TEST_F(IPAddressCtrlTest, BlankFieldReadsAsZero)
{
    EXPECT_EQ(m_ctrl->GetAddress(), 0u) << "a new control is all blank";
    m_ctrl->SetAddress(0xC0A80201u);
    m_ctrl->GetOctetField(2)->SetValue("");
    EXPECT_EQ(m_ctrl->GetAddress(), 0xC0A80001u);
}

TEST_F(IPAddressCtrlTest, TypedTextOtherThanAnOctetIsRefused)
{
    m_ctrl->SetAddress(0x0A000001u);
    wxTextCtrl* field = m_ctrl->GetOctetField(3);
    field->SetValue("30");
    EXPECT_EQ(Field(3), "30");
    field->SetValue("300");
    EXPECT_EQ(Field(3), "30");
    field->SetValue("25x");
    EXPECT_EQ(Field(3), "30");
    field->SetValue("255");
    EXPECT_EQ(Field(3), "255");
    EXPECT_EQ(m_ctrl->GetAddress(), 0x0A0000FFu);
}

// A dialog resource holding both controls by class name and subclass.
TEST(ControlResources, DialogResourceCreatesBothControls)
{
    wxXmlResource::Get()->AddHandler(new CIPAddressCtrlXmlHandler);
    const char* xrc = R"(<?xml version="1.0" encoding="UTF-8"?>
<resource xmlns="http://www.wxwidgets.org/wxxrc" version="2.5.3.0">
  <object class="wxDialog" name="testdlg">
    <title>Dialog</title>
    <object class="CIPAddressCtrl" name="1008">
      <pos>117,22d</pos>
      <size>100,15d</size>
    </object>
    <object class="wxListCtrl" name="1003" subclass="CSortListCtrl">
      <pos>7,54d</pos>
      <size>455,271d</size>
      <style>wxLC_REPORT|wxBORDER_SIMPLE</style>
    </object>
  </object>
</resource>)";
    wxStringInputStream stream(xrc);
    auto doc = std::make_unique<wxXmlDocument>(stream);
    ASSERT_TRUE(doc->IsOk());
    ASSERT_TRUE(wxXmlResource::Get()->LoadDocument(doc.release(), "test.xrc"));

    wxDialog dialog;
    ASSERT_TRUE(wxXmlResource::Get()->LoadDialog(&dialog, nullptr, "testdlg"));
    auto* ip = wxDynamicCast(dialog.FindWindow(XRCID("1008")), CIPAddressCtrl);
    auto* list = wxDynamicCast(dialog.FindWindow(XRCID("1003")), CSortListCtrl);
    ASSERT_NE(ip, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ip->GetSize(), dialog.ConvertDialogToPixels(wxSize(100, 15)));
    EXPECT_EQ(list->GetId(), 1003) << "a numeric resource name is the control id";

    ip->SetAddress(0xFFFFFF00u);
    EXPECT_EQ(ip->GetAddress(), 0xFFFFFF00u);
    wxXmlResource::Get()->Unload("test.xrc");
}

} // namespace
