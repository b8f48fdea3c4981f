// The window on a link no camera answers, under Wine in the private network
// (scripts/test-windows.sh): it asks Windows Firewall itself, through
// INetFwPolicy2, and shows what it found, with the button when the fix may
// help, without a crash. What the firewall said is printed for the record.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/timer.h>

#include "app/marks_words.h"
#include "app/search_device_dlg.h"
#include "operations/firewall_finding.h"
#include "platform/firewall.h"
#include "platform/ipv4_text.h"
#include "platform/local_addresses.h"
#include "tests/window/pump.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

TEST(FirewallFindingWine, TheRealQueryRunsAndTheWindowShowsItsFinding) {
    const char* link = std::getenv("VIMBREL_QUIET_LINK");
    ASSERT_NE(link, nullptr) << "run by scripts/test-windows.sh on a link with no camera";
    const auto quiet = platform::ParseIPv4(link);
    ASSERT_TRUE(quiet) << link;
    DeviceSession session([address = *quiet] {
        std::vector<platform::LocalAddress> only;
        for (const platform::LocalAddress& local : platform::SocketAddresses())
            if (local.address == address) only.push_back(local);
        return only;
    });
    auto* window = new CSearchDeviceDlg(session, {}, std::chrono::hours(1));  // Destroy() frees it
    window->Show();
    ASSERT_TRUE(window->Loaded());
    window->Start();
    RowMarksView& marks = window->Marks();
    // The window's 3 s timer fires in a running event loop: Wine makes
    // WM_TIMER only for a loop that takes its messages, not for a yield.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    wxGUIEventLoop loop;
    wxTimer watch;
    watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (!marks.FindingText().empty() || std::chrono::steady_clock::now() > deadline)
            loop.Exit();
    });
    watch.Start(50);
    loop.Run();
    watch.Stop();
    ASSERT_FALSE(marks.FindingText().empty());
    // The lines placed under the list: the layout after the finding came.
    ASSERT_TRUE(PumpUntil([&] {
        return !marks.FindingLine().GetLabelText().empty() &&
               marks.FindingLine().GetSize().y >= marks.FindingLine().GetBestSize().y;
    }));

    const platform::FirewallState state = platform::QueryFirewall();
    std::printf(
        "firewall: asked %d, known %d, profile %d, on %d, rules read %d, block %d, "
        "allow %d\n",
        state.asked, state.known, static_cast<int>(state.profile), state.enabled, state.rulesKnown,
        state.blockRule, state.allowRule);
    EXPECT_TRUE(state.asked);
    const FirewallFinding finding = FindFirewallCause(state);
    EXPECT_EQ(marks.FindingText(),
              wxString(L"搜索经 " + std::wstring(link, link + std::strlen(link)) +
                       L" 发出，没有设备应答。") +
                  FirewallFindingWords(finding, state.profile));
    EXPECT_EQ(marks.AllowFirewallButton().IsShown(), OffersFirewallFix(finding));
    const wxRect client(window->GetClientSize());
    EXPECT_TRUE(client.Contains(marks.FindingLine().GetRect()));
    EXPECT_GE(marks.FindingLine().GetSize().y, marks.FindingLine().GetBestSize().y);

    window->Close(true);
    window->Destroy();
    EXPECT_TRUE(PumpUntil([&] { return !wxTheApp->IsScheduledForDestruction(window); }));
}

}  // namespace
}  // namespace vimbrel::test
