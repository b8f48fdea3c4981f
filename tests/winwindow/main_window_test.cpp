// The main window on Windows' own list view (wxMSW, here under Wine): the
// click rule, select-all and the double click, with real mouse input. The
// tests run where no network interface is up, so the window's searches
// cannot send anything.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/uiaction.h>

#include "app/search_device_dlg.h"
#include "platform/local_addresses.h"

namespace vimbrel {
namespace {

using namespace std::chrono_literals;

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 3000ms) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(5ms);
    }
}

constexpr int kCommandIds[] = {1006, wxID_OK, 1008, 1009, 1013, 1014, 1012};

class MainWindowWine : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::LocalIPv4Addresses().empty())
            << "the window searches at once: run where no interface is up";
        m_window = new CSearchDeviceDlg;  // the toolkit deletes it (Destroy)
        m_window->Show();
        m_window->Raise();
        auto& list = m_window->DeviceList();
        for (int i = 0; i < 3; ++i) {
            const wxString n = wxString::Format("%d", i + 1);
            list.AddItem({n, "SN000" + n, "ZR420", "192.168.2.1" + n, "00:1A:2B:3C:4D:0" + n, "80",
                          "V1.0.0", wxString(L"运行中")});
        }
        PumpUntil([] { return false; }, 200ms);
    }

    void TearDown() override {
        m_window->Close(true);
        m_window->Destroy();
        PumpUntil([] { return false; }, 50ms);
    }

    int EnabledButtons() {
        int enabled = 0;
        for (int id : kCommandIds)
            if (m_window->FindWindow(id)->IsEnabled()) ++enabled;
        return enabled;
    }

    // A point inside row `row` of the list (column 1), on the screen; below
    // the last row for -1.
    wxPoint RowPoint(long row) {
        auto& list = m_window->DeviceList();
        wxRect rect;
        list.GetItemRect(row < 0 ? list.GetItemCount() - 1 : row, rect);
        wxPoint point(rect.x + 100, rect.y + rect.height / 2);
        if (row < 0) point.y = rect.GetBottom() + 3 * rect.height;
        return list.ClientToScreen(point);
    }

    void Click(const wxPoint& where, bool twice = false) {
        wxUIActionSimulator mouse;
        mouse.MouseMove(where);
        PumpUntil([] { return false; }, 50ms);
        if (twice)
            mouse.MouseDblClick();
        else
            mouse.MouseClick();
    }

    CSearchDeviceDlg* m_window = nullptr;
};

TEST_F(MainWindowWine, ClickThatLeavesRowsSelectedEnablesTheButtons) {
    auto& list = m_window->DeviceList();
    ASSERT_EQ(EnabledButtons(), 0);
    Click(RowPoint(1));
    EXPECT_TRUE(PumpUntil([&] { return EnabledButtons() == 7; }));
    EXPECT_EQ(list.GetSelectedItemCount(), 1);
    EXPECT_EQ(list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), 1);

    // A click on the empty part below the rows clears the selection.
    Click(RowPoint(-1));
    EXPECT_TRUE(PumpUntil([&] { return EnabledButtons() == 0; }));
    EXPECT_EQ(list.GetSelectedItemCount(), 0);
}

TEST_F(MainWindowWine, SelectAllSelectsEveryRowAndClearsThemAgain) {
    auto& list = m_window->DeviceList();
    auto* box = wxStaticCast(m_window->FindWindow(1004), wxCheckBox);
    Click(box->ClientToScreen(wxPoint(8, box->GetSize().y / 2)));
    EXPECT_TRUE(PumpUntil([&] { return box->IsChecked() && EnabledButtons() == 7; }));
    EXPECT_EQ(list.GetSelectedItemCount(), 3);

    Click(box->ClientToScreen(wxPoint(8, box->GetSize().y / 2)));
    EXPECT_TRUE(PumpUntil([&] { return !box->IsChecked() && EnabledButtons() == 0; }));
    EXPECT_EQ(list.GetSelectedItemCount(), 0);
}

TEST_F(MainWindowWine, DoubleClickOpensThatRowsPage) {
    std::vector<wxString> opened;
    m_window->SetPageOpener([&](const wxString& url) {
        opened.push_back(url);
        return true;
    });
    Click(RowPoint(2), true);
    EXPECT_TRUE(PumpUntil([&] { return !opened.empty(); }));
    EXPECT_EQ(opened, std::vector<wxString>{"http://192.168.2.13:80"});
}

}  // namespace
}  // namespace vimbrel
