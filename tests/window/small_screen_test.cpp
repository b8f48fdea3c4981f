// The main window on a 1366 x 768 screen (run on such a virtual display
// only): the whole window, the list's bottom edge included, is on screen,
// and everything above the list keeps the template's place.
#include <wx/display.h>

#include "res/control_ids.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

class SmallScreen : public WindowTest {};

TEST_F(SmallScreen, WholeWindowIsOnScreen) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    OpenWindow();
    const wxRect area = wxDisplay(0u).GetClientArea();
    ASSERT_LE(area.height, 768);
    const wxRect frame = window->GetScreenRect();
    EXPECT_TRUE(area.Contains(frame))
        << frame.x << "," << frame.y << " " << frame.width << "x" << frame.height;
    auto& list = window->DeviceList();
    const wxRect rows = list.GetScreenRect();
    EXPECT_LE(rows.GetBottom(), area.GetBottom());
    EXPECT_LE(rows.GetBottom(), frame.GetBottom());
    EXPECT_GT(rows.height, 200);

    // Only the list gave up height: its top and the buttons stay put.
    EXPECT_EQ(list.GetPosition(), window->ConvertDialogToPixels(wxPoint(7, 54)));
    EXPECT_EQ(list.GetSize().x, window->ConvertDialogToPixels(wxSize(455, 0)).x);
    for (int id : {ids::kSearch, ids::kAutoAssignIP, ids::kReboot, int(wxID_CANCEL)})
        EXPECT_EQ(window->FindWindow(id)->GetSize(), window->ConvertDialogToPixels(wxSize(43, 26)))
            << id;
    EXPECT_EQ(window->FindWindow(ids::kSearch)->GetPosition(),
              window->ConvertDialogToPixels(wxPoint(329, 18)));
}

}  // namespace
}  // namespace vimbrel::test
