// The main window on small screens, at large scales and fonts (run on such
// virtual displays only: see tests/CMakeLists.txt): the whole window and
// every control on screen, every text and column title whole; the window
// can be made larger, the list then takes the room, and no smaller than
// what keeps every control in view.
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include <wx/display.h>

#include "res/control_ids.h"
#include "tests/window/layout_checks.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

class SmallScreen : public WindowTest {
protected:
    void SetUp() override {
        OpenWindowOffline();
        ASSERT_TRUE(PumpUntil([&] { return window->IsShownOnScreen(); }));
    }

    // Sets the client size and waits until the list has followed.
    void Resize(const wxSize& client) {
        window->SetClientSize(client);
        const int margin = window->ConvertDialogToPixels(wxPoint(7, 0)).x;
        PumpUntil([&] {
            return std::abs(window->DeviceList().GetRect().GetRight() + 1 -
                            (window->GetClientSize().x - margin)) <= 1;
        });
    }
};

TEST_F(SmallScreen, WholeWindowIsOnScreenAndEveryTextReadsInFull) {
    const wxRect area = WorkArea(*window);
    ASSERT_LE(area.height, 768);
    if (const char* scale = std::getenv("GDK_SCALE")) {
        EXPECT_EQ(window->GetContentScaleFactor(), std::atof(scale));
    }
    ExpectEveryControlReadsInFull(*window);
    ExpectListFillsTheWindow(*window);
    EXPECT_GT(window->DeviceList().GetSize().y, 200);
    // The header is as tall as its titles: the rows start below them.
    EXPECT_GE(RowsWindow(window->DeviceList()).GetPosition().y,
              window->DeviceList().GetCharHeight() + 2);

    // Where the template's width does not fit, the window is as wide as
    // the screen's work area and no wider; where it fits, the list keeps its
    // place, and the buttons keep their size when all their texts fit it
    // (English texts may not: then the row shares out what is left).
    const wxSize frame = window->GetSize() - window->GetClientSize();
    if (window->ConvertDialogToPixels(wxSize(469, 0)).x + frame.x > area.width) {
        EXPECT_LE(window->GetSize().x, area.width);
        EXPECT_GE(window->GetSize().x, area.width - frame.x);
        return;
    }
    auto& list = window->DeviceList();
    EXPECT_EQ(list.GetPosition(), window->ConvertDialogToPixels(wxPoint(7, 54)));
    EXPECT_NEAR(list.GetSize().x, window->ConvertDialogToPixels(wxSize(455, 0)).x, 1);
    const wxSize button = window->ConvertDialogToPixels(wxSize(43, 26));
    const int row[] = {ids::kAutoAssignIP, ids::kReboot, ids::kFactoryReset, ids::kMotorStart,
                       ids::kMotorStop,    ids::kSearch, int(wxID_CANCEL)};
    const bool allFit = std::all_of(std::begin(row), std::end(row), [&](int id) {
        return window->FindWindow(id)->GetBestSize().x <= button.x;
    });
    for (int id : {ids::kSearch, ids::kReboot, int(wxID_CANCEL)})
        if (allFit) {
            EXPECT_EQ(window->FindWindow(id)->GetSize(), button) << id;
        }
}

TEST_F(SmallScreen, ListTakesWhatTheWindowGrowsByAndTheLeastSizeKeepsEverything) {
    auto& list = window->DeviceList();
    std::vector<int> widths;
    for (int i = 0; i < list.GetColumnCount() - 1; ++i) widths.push_back(list.GetColumnWidth(i));

    const wxSize least = window->GetMinClientSize();
    const wxRect area = WorkArea(*window);
    EXPECT_LE(least.x + window->GetSize().x - window->GetClientSize().x, area.width);
    EXPECT_LE(least.y + window->GetSize().y - window->GetClientSize().y, area.height);
    Resize(least);
    EXPECT_EQ(window->GetClientSize(), least);
    ExpectEveryControlReadsInFull(*window);
    ExpectListFillsTheWindow(*window);

    // Larger than the screen would allow a user: the list takes all of it,
    // the columns keep their widths and the last one fills the rest.
    Resize(least + wxSize(1200, 500));
    ExpectListFillsTheWindow(*window);
    for (std::size_t i = 0; i < widths.size(); ++i)
        EXPECT_EQ(list.GetColumnWidth(static_cast<int>(i)), widths[i]) << i;

    // Smaller than the least size is refused: the request is held to the
    // least size as it is made (the window's own sizes, before any word from
    // the display, whose late answers to the resizes above may still come).
    window->SetClientSize(least - wxSize(100, 100));
    EXPECT_GE(window->GetClientSize().x, least.x);
    EXPECT_GE(window->GetClientSize().y, least.y);
}

// The address and model dialogs, shown as the operations show them.
TEST_F(SmallScreen, SmallDialogsReadInFull) { ExpectSmallDialogsReadInFull(window); }

}  // namespace
}  // namespace vimbrel::test
