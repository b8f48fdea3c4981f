// The main window on Windows' own list view (wxMSW, here under Wine): the
// click rule, select-all and the double click. The mouse reaches the
// controls as the messages Windows gives them (button down, button up, double
// click), so the list view makes its own NM_CLICK and NM_DBLCLK from them.
// The tests run where no network interface is up, so the window's searches
// cannot send anything.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/stattext.h>

#include "app/search_device_dlg.h"
#include "platform/local_addresses.h"
#include "res/control_ids.h"
#include "tests/support/session_insides.h"
#include "tests/window/pump.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

// A left click at `at` (client coordinates of `window`), as the messages a
// click gives: button down and up, and for a double click down, up, double
// click, up. Each is handled before the next is sent, as with a real mouse,
// whose button is still down while the list handles the button-down.
void Click(HWND window, POINT at, bool twice = false) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::SendMessageW(window, WM_LBUTTONUP, 0, where);
    if (!twice) return;
    ::SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    ::SendMessageW(window, WM_LBUTTONUP, 0, where);
}

// Camera `n`'s reply, its fields at their offsets: port 80 (big-endian) at
// 8, "IpCamera" at 16, 192.168.2.1n at 28, MAC 00:1A:2B:3C:4D:0n at 92,
// model at 228, serial SN000n at 292.
protocol::ReplyBuffer CameraReply(int n) {
    protocol::ReplyBuffer b{};
    b[0] = 100;
    b[11] = 80;
    std::memcpy(&b[16], "IpCamera", 8);
    const std::string ip = "192.168.2.1" + std::to_string(n);
    std::memcpy(&b[28], ip.data(), ip.size());
    const std::uint8_t mac[] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, static_cast<std::uint8_t>(n)};
    std::memcpy(&b[92], mac, sizeof mac);
    std::memcpy(&b[228], "ZR420", 5);
    const std::string serial = "SN000" + std::to_string(n);
    std::memcpy(&b[292], serial.data(), serial.size());
    return b;
}

class MainWindowWine : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::LocalIPv4Addresses().empty())
            << "the window searches at once: run where no interface is up";
        // The search thread searches once at its start, then not again
        // during a test: each search empties the list.
        m_window =
            new CSearchDeviceDlg(m_session, {}, std::chrono::hours(1));  // Destroy() frees it
        m_window->Show();
        ASSERT_TRUE(m_window->Loaded());
        m_window->Start();
        auto* count = wxStaticCast(m_window->FindWindow(ids::kStaticOnline), wxStaticText);
        count->SetLabel(wxEmptyString);
        ASSERT_TRUE(PumpUntil([&] { return count->GetLabel() == L"无网络"; }));
        auto& list = m_window->DeviceList();
        ASSERT_EQ(list.GetColumnCount(), 8);
        // Three cameras' replies, as the receive thread queues them: the
        // rows are the session table's.
        protocol::ReplyQueue& queue = SessionInsides::Replies(m_session);
        for (int i = 1; i <= 3; ++i) queue.Push(CameraReply(i));
        m_window->OnDeviceReply();
        ASSERT_TRUE(PumpUntil([&] { return list.GetItemCount() == 3; }));
    }

    void TearDown() override {
        m_window->Close(true);
        m_window->Destroy();
        wxTheApp->ProcessIdle();  // deletes the window
    }

    int EnabledButtons() {
        int enabled = 0;
        for (int id : ids::kCommandButtons)
            if (m_window->FindWindow(id)->IsEnabled()) ++enabled;
        return enabled;
    }

    // A point inside row `row` of the list, in the list's client coordinates;
    // below the last row for -1.
    POINT RowPoint(long row) {
        auto& list = m_window->DeviceList();
        wxRect rect;
        list.GetItemRect(row < 0 ? list.GetItemCount() - 1 : row, rect);
        POINT point{rect.x + 100, rect.y + rect.height / 2};
        if (row < 0) point.y = rect.GetBottom() + 3 * rect.height;
        return point;
    }

    HWND ListWindow() { return static_cast<HWND>(m_window->DeviceList().GetHandle()); }

    DeviceSession m_session;  // outlives the window
    CSearchDeviceDlg* m_window = nullptr;
};

TEST_F(MainWindowWine, ClickThatLeavesRowsSelectedEnablesTheButtons) {
    auto& list = m_window->DeviceList();
    ASSERT_EQ(EnabledButtons(), 0);
    Click(ListWindow(), RowPoint(1));
    EXPECT_TRUE(PumpUntil([&] { return EnabledButtons() == 7; }));
    EXPECT_EQ(list.GetSelectedItemCount(), 1);
    EXPECT_EQ(list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), 1);

    // A click on the empty part below the rows clears the selection.
    Click(ListWindow(), RowPoint(-1));
    EXPECT_TRUE(PumpUntil([&] { return EnabledButtons() == 0; }));
    EXPECT_EQ(list.GetSelectedItemCount(), 0);
}

TEST_F(MainWindowWine, SelectAllSelectsEveryRowAndClearsThemAgain) {
    auto& list = m_window->DeviceList();
    auto* box = wxStaticCast(m_window->FindWindow(ids::kCheckAll), wxCheckBox);
    const HWND boxWindow = static_cast<HWND>(box->GetHandle());
    ::SendMessageW(boxWindow, BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return box->IsChecked() && EnabledButtons() == 7; }));
    EXPECT_EQ(list.GetSelectedItemCount(), 3);

    ::SendMessageW(boxWindow, BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !box->IsChecked() && EnabledButtons() == 0; }));
    EXPECT_EQ(list.GetSelectedItemCount(), 0);
}

TEST_F(MainWindowWine, DoubleClickOpensThatRowsPageAndNothingOffTheRows) {
    std::vector<wxString> opened;
    m_window->SetPageOpener([&](const wxString& url) {
        opened.push_back(url);
        return true;
    });
    Click(ListWindow(), RowPoint(-1), true);
    Click(ListWindow(), RowPoint(2), true);
    EXPECT_TRUE(PumpUntil([&] { return !opened.empty(); }));
    EXPECT_EQ(opened, std::vector<wxString>{"http://192.168.2.13:80"});
}

// Esc ends the window and its receive thread. How long it takes goes to the
// log; bounds on it are the exit benchmark's.
TEST_F(MainWindowWine, EscapeEndsTheWindowAndItsReceiveThread) {
    // The search is out: the receive thread is in its wait now.
    ASSERT_TRUE(PumpUntil([&] { return !m_window->SearchGoingOut(); }, 10s));
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = WXK_ESCAPE;
    const auto start = std::chrono::steady_clock::now();
    m_window->GetEventHandler()->ProcessEvent(key);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(m_window->ExitDone());
    EXPECT_TRUE(m_window->ReceiveThreadExited());
    std::printf("winwindow: Esc ended the window in %.1f ms\n",
                std::chrono::duration<double, std::milli>(elapsed).count());
}

}  // namespace
}  // namespace vimbrel::test
