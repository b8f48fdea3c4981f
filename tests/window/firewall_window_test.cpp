// After a search nobody answered the window says what the firewall has to
// do with it, in full at every scale, and offers "允许通过防火墙" when
// letting the replies in may help; only that click runs the fix, and a
// search follows a fix that was done.
#include <chrono>

#include "app/row_marks_view.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

platform::FirewallState BlockRule() {
    platform::FirewallState state;
    state.asked = state.known = state.rulesKnown = state.enabled = state.blockRule = true;
    state.profile = platform::FirewallProfile::kPublic;
    return state;
}

class FirewallWindowTest : public WindowTest {
protected:
    // A link with no camera: the search goes out and nobody answers.
    void OpenWithNobody() {
        net.AddLink("192.168.2.100/24");
        OpenWindow();
        ASSERT_TRUE(PumpUntil([&] { return !window->Marks().FindingText().empty(); }, 10s));
        // The lines placed under the list: the layout after the finding came.
        const wxStaticText& line = window->Marks().FindingLine();
        ASSERT_TRUE(PumpUntil([&] {
            return !line.GetLabelText().empty() && line.GetSize().y >= line.GetBestSize().y;
        }));
    }
    void ClickAllow() {
        wxButton& button = window->Marks().AllowFirewallButton();
        wxCommandEvent click(wxEVT_BUTTON, button.GetId());
        click.SetEventObject(&button);
        button.GetEventHandler()->ProcessEvent(click);
    }
};

// The words wrap within their place under the list (beside the button when
// there is one) and the window shows all of them: no line is cut, and what
// the lines say is the finding, "&&" included.
void ExpectFindingReadsInFull(CSearchDeviceDlg& window) {
    RowMarksView& marks = window.Marks();
    const wxStaticText& line = marks.FindingLine();
    ASSERT_TRUE(line.IsShown());
    const wxRect client(window.GetClientSize());
    const wxRect list = window.DeviceList().GetRect();
    EXPECT_TRUE(client.Contains(line.GetRect())) << line.GetRect().GetBottom();
    EXPECT_GT(line.GetRect().GetTop(), list.GetBottom());
    EXPECT_GE(line.GetSize().y, line.GetBestSize().y);
    EXPECT_GE(line.GetSize().x, line.GetBestSize().x);
    wxString shown = line.GetLabelText();
    shown.Replace("\n", "");
    wxString said = marks.FindingText();
    said.Replace(" ", "");
    shown.Replace(" ", "");
    EXPECT_EQ(shown, said);
    wxButton& button = marks.AllowFirewallButton();
    if (!button.IsShown()) return;
    EXPECT_TRUE(client.Contains(button.GetRect()));
    EXPECT_LT(line.GetRect().GetRight(), button.GetRect().GetLeft());
    EXPECT_GE(button.GetSize().x, button.GetBestSize().x);
    EXPECT_GE(button.GetSize().y, button.GetBestSize().y);
}

TEST_F(FirewallWindowTest, ABlockRuleIsSaidAndTheLineAndButtonReadInFull) {
    LAB_REQUIRE_ROOT();
    firewall = BlockRule();
    OpenWithNobody();
    RowMarksView& marks = window->Marks();
    EXPECT_EQ(marks.FindingText(),
              wxString::FromUTF8("搜索经 192.168.2.100 发出，没有设备应答。Windows 防火墙有阻止 "
                                 "Vimbrel 的规则（公用网络），摄像机的应答被拦截。"));
    EXPECT_EQ(firewallFixes, 0);  // nothing changed without the click
    ASSERT_TRUE(marks.AllowFirewallButton().IsShown());
    EXPECT_EQ(marks.AllowFirewallButton().GetLabel(), wxString::FromUTF8("允许通过防火墙"));
    ExpectFindingReadsInFull(*window);
}

// Linux: the longest finding, with the two commands.
TEST_F(FirewallWindowTest, TheFirewallCommandsReadInFull) {
    LAB_REQUIRE_ROOT();
    OpenWithNobody();
    EXPECT_NE(window->Marks().FindingText().Find("firewall-cmd --permanent"), wxNOT_FOUND);
    ExpectFindingReadsInFull(*window);
}

TEST_F(FirewallWindowTest, TheClickRunsTheFixOnceAndSearchesAgainOnlyWhenItWasDone) {
    LAB_REQUIRE_ROOT();
    firewall = BlockRule();
    firewallFix = {platform::FirewallFixResult::kCancelled, {}};
    OpenWithNobody();
    ClickAllow();
    EXPECT_EQ(firewallFixes, 1);
    EXPECT_TRUE(told.empty());  // the user said no: nothing to tell, no search
    EXPECT_FALSE(window->Marks().FindingText().empty());

    firewallFix = {platform::FirewallFixResult::kFailed, "netsh ended with 1"};
    ClickAllow();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], wxString::FromUTF8("未能更改防火墙设置。原因：netsh ended with 1"));

    // Done: the firewall now allows the program; the search runs again and
    // its finding says so, without the button.
    firewallFix = {platform::FirewallFixResult::kDone, {}};
    firewall->blockRule = false;
    firewall->allowRule = true;
    ClickAllow();
    EXPECT_EQ(firewallFixes, 3);
    EXPECT_TRUE(window->Marks().FindingText().empty());  // a new search began
    ASSERT_TRUE(PumpUntil([&] { return !window->Marks().FindingText().empty(); }, 10s));
    EXPECT_NE(
        window->Marks().FindingText().Find(wxString::FromUTF8("Windows 防火墙已允许 Vimbrel")),
        wxNOT_FOUND);
    EXPECT_FALSE(window->Marks().AllowFirewallButton().IsShown());
}

}  // namespace
}  // namespace vimbrel::test
