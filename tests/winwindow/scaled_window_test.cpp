// The main window at a laptop's display scaling, under Wine with LogPixels
// set in the prefix before the program starts (scripts/test-windows.sh: 144
// on 1366 x 768, 192 on 1920 x 1080; VIMBREL_EXPECT_DPI says which). The
// window runs where no network interface is up. In Chinese, or in English
// when VIMBREL_LANG says "en".
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include <wx/app.h>

#include "app/search_device_dlg.h"
#include "platform/local_addresses.h"
#include "tests/window/layout_checks.h"
#include "tests/window/pump.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

class MainWindowScaled : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::LocalIPv4Addresses().empty())
            << "the window searches at once: run where no interface is up";
        const char* expected = std::getenv("VIMBREL_EXPECT_DPI");
        ASSERT_NE(expected, nullptr) << "run by scripts/test-windows.sh, which sets LogPixels";
        m_window =
            new CSearchDeviceDlg(m_session, {}, std::chrono::hours(1));  // Destroy() frees it
        ASSERT_TRUE(m_window->Loaded());
        m_window->Show();
        m_window->Start();
        PumpUntil([&] { return m_window->GetDPI().x == std::atoi(expected); });
        ASSERT_EQ(m_window->GetDPI().x, std::atoi(expected)) << "LogPixels did not take";
    }

    void TearDown() override {
        m_window->Close(true);
        m_window->Destroy();
        wxTheApp->ProcessIdle();  // deletes the window
    }

    DeviceSession m_session;  // outlives the window
    CSearchDeviceDlg* m_window = nullptr;
};

TEST_F(MainWindowScaled, EveryControlAndColumnTitleReadsInFull) {
    // The language asked for (VIMBREL_LANG), English from the catalog among
    // the program's resources.
    const char* language = std::getenv("VIMBREL_LANG");
    const bool english = language && std::string(language) == "en";
    EXPECT_EQ(m_window->FindWindow(wxID_CANCEL)->GetLabel(), english ? L"Exit" : L"退出");
    ExpectEveryControlReadsInFull(*m_window);
    ExpectListFillsTheWindow(*m_window);
    // The defaults are pixels at 96 dots an inch, scaled.
    const double scale = m_window->GetDPI().x / 96.0;
    EXPECT_GE(m_window->DeviceList().GetColumnWidth(1), static_cast<int>(180 * scale));
}

TEST_F(MainWindowScaled, MaximisedTheListFillsTheWindow) {
    const wxSize before = m_window->GetSize();
    m_window->Maximize();
    ASSERT_TRUE(PumpUntil([&] { return m_window->IsMaximized(); }));
    EXPECT_TRUE(PumpUntilListFollows(*m_window));
    ExpectListFillsTheWindow(*m_window);
    ExpectEveryControlReadsInFull(*m_window);
    m_window->Restore();
    ASSERT_TRUE(PumpUntil([&] { return m_window->GetSize() == before; }));
    ExpectListFillsTheWindow(*m_window);

    // Made as small as it may be, everything is still in view.
    m_window->SetClientSize(m_window->GetMinClientSize());
    EXPECT_TRUE(PumpUntilListFollows(*m_window));
    ExpectEveryControlReadsInFull(*m_window);
    ExpectListFillsTheWindow(*m_window);
}

TEST_F(MainWindowScaled, SmallDialogsReadInFull) { ExpectSmallDialogsReadInFull(m_window); }

}  // namespace
}  // namespace vimbrel::test
