#include "tests/window/layout_checks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

#include "operations_ui/change_hw_modle_dlg.h"
#include "operations/device_columns.h"
#include "operations_ui/modify_ip_dlg.h"
#include "res/control_ids.h"
#include "tests/window/pump.h"

namespace vimbrel::test {
namespace {

std::string Text(const wxRect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height);
}

std::string Name(const wxWindow& control) {
    return std::to_string(control.GetId()) + " \"" + control.GetLabel().utf8_string() + "\"";
}

}  // namespace

wxRect WorkArea(const wxWindow& window) {
    const int display = wxDisplay::GetFromWindow(&window);
    return wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
}

void ExpectControlsReadInFull(wxWindow& dialog) {
    const wxRect area = WorkArea(dialog);
    // A maximised window's frame lies beyond the work area; its inside does not.
    const auto* top = wxDynamicCast(&dialog, wxTopLevelWindow);
    const wxRect frame = top && top->IsMaximized()
                             ? wxRect(dialog.ClientToScreen(wxPoint()), dialog.GetClientSize())
                             : dialog.GetScreenRect();
    EXPECT_TRUE(area.Contains(frame)) << "window " << Text(frame) << ", area " << Text(area);
    const wxRect client(dialog.GetClientSize());

    std::vector<const wxWindow*> shown;
    for (const wxWindow* child : dialog.GetChildren())
        if (child->IsShown() && child->IsKindOf(wxCLASSINFO(wxControl))) shown.push_back(child);
    for (const wxWindow* control : shown) {
        const wxRect rect = control->GetRect();
        EXPECT_TRUE(client.Contains(rect))
            << Name(*control) << " at " << Text(rect) << " in " << Text(client);
        EXPECT_TRUE(area.Contains(control->GetScreenRect()))
            << Name(*control) << " at " << Text(control->GetScreenRect());
        for (const wxWindow* other : shown)
            if (other != control) {
                EXPECT_FALSE(rect.Intersects(other->GetRect()))
                    << Name(*control) << " " << Text(rect) << " and " << Name(*other) << " "
                    << Text(other->GetRect());
            }
        // Buttons need room around their text; a check box its box too.
        int around = 0;
        if (wxDynamicCast(control, wxButton))
            around = control->FromDIP(8);
        else if (wxDynamicCast(control, wxCheckBox))
            around = control->FromDIP(12);
        else if (!wxDynamicCast(control, wxStaticText))
            continue;
        const wxSize text = control->GetTextExtent(control->GetLabel());
        EXPECT_GE(rect.width, text.x + around) << Name(*control);
        EXPECT_GE(rect.height, text.y) << Name(*control);
    }
}

void ExpectEveryControlReadsInFull(CSearchDeviceDlg& window) {
    ExpectControlsReadInFull(window);
    // The longest count fits before the first button.
    const wxWindow* count = window.FindWindow(ids::kStaticOnline);
    EXPECT_GE(window.FindWindow(ids::kAutoAssignIP)->GetPosition().x,
              count->GetPosition().x + count->GetTextExtent("10000+").x);

    const auto& list = window.DeviceList();
    ASSERT_EQ(list.GetColumnCount(), column::kCount);
    for (int i = 0; i < column::kCount; ++i) {
        wxListItem title;  // as shown, in the window's language
        title.SetMask(wxLIST_MASK_TEXT);
        list.GetColumn(i, title);
        EXPECT_GE(list.GetColumnWidth(i), list.GetTextExtent(title.GetText()).x) << "column " << i;
    }
}

void ExpectListFillsTheWindow(CSearchDeviceDlg& window) {
    const auto& list = window.DeviceList();
    const wxRect rect = list.GetRect();
    const wxSize client = window.GetClientSize();
    const wxPoint margin = window.ConvertDialogToPixels(wxPoint(7, 10));
    EXPECT_EQ(rect.x, margin.x);
    EXPECT_NEAR(rect.GetRight() + 1, client.x - margin.x, 1) << "client width " << client.x;
    EXPECT_NEAR(rect.GetBottom() + 1, client.y - margin.y, 1) << "client height " << client.y;
    int columns = 0;
    for (int i = 0; i < list.GetColumnCount(); ++i) columns += list.GetColumnWidth(i);
    EXPECT_GE(columns, list.GetClientSize().x - list.FromDIP(40)) << "list " << Text(rect);
}

bool PumpUntilListFollows(CSearchDeviceDlg& window) {
    return PumpUntil([&] {
        const wxRect rect = window.DeviceList().GetRect();
        const wxSize client = window.GetClientSize();
        const wxPoint margin = window.ConvertDialogToPixels(wxPoint(7, 10));
        return std::abs(rect.GetRight() + 1 - (client.x - margin.x)) <= 1 &&
               std::abs(rect.GetBottom() + 1 - (client.y - margin.y)) <= 1;
    });
}

void ExpectSmallDialogsReadInFull(wxWindow* parent) {
    CModifyIPDlg address(parent, nullptr);
    ASSERT_TRUE(address.Loaded());
    address.Show();
    EXPECT_TRUE(PumpUntil([&] { return address.IsShownOnScreen(); }));
    ExpectControlsReadInFull(address);
    address.Hide();
    CChangeHwModleDlg model(parent);
    ASSERT_TRUE(model.Loaded());
    model.Show();
    EXPECT_TRUE(PumpUntil([&] { return model.IsShownOnScreen(); }));
    ExpectControlsReadInFull(model);
    model.Hide();
}

}  // namespace vimbrel::test
