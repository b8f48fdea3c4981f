// The marks of the device list: rows that share an address and rows outside
// the network of the local address their reply came in on get a colour,
// the info line explains the focused row, the count area counts each
// problem, and a search nobody answers says where it went out. Checked
// through the list's state and the texts shown.
#include <chrono>

#include "app/row_marks_view.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

class MarksWindowTest : public WindowTest {
protected:
    void Focus(long row) {
        auto& list = window->DeviceList();
        list.SetItemState(row, wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED,
                          wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED);
        wxListEvent focused(wxEVT_LIST_ITEM_FOCUSED, ids::kDeviceList);
        focused.m_itemIndex = row;
        focused.SetEventObject(&list);
        list.GetEventHandler()->ProcessEvent(focused);
    }
};

TEST_F(MarksWindowTest, SharedAddressesAndOtherSubnetsAreMarkedCountedAndExplained) {
    LAB_REQUIRE_ROOT();
    const int link = net.AddLink("192.168.2.100/24");
    auto add = [&](const char* serial, const char* ip, const char* mac, const char* reports) {
        lab::CameraConfig c;
        c.serial = serial;
        c.ip = ip;
        c.mac = mac;
        if (reports) c.extraArgs = {"--ip", reports};  // the address the camera says it has
        net.AddCamera(link, c);
    };
    add("SN-A", "192.168.2.10", "00:1A:2B:3C:4D:01", nullptr);
    add("SN-B", "192.168.2.11", "00:1A:2B:3C:4D:02", "192.168.2.10");  // the same factory address
    add("SN-C", "192.168.2.12", "00:1A:2B:3C:4D:03", "192.168.5.20");  // another subnet
    add("SN-D", "192.168.2.13", "00:1A:2B:3C:4D:04", nullptr);
    OpenWindow();
    WaitForRows(4);
    RowMarksView& marks = window->Marks();
    auto& list = window->DeviceList();
    const long a = RowOfSerial("SN-A"), b = RowOfSerial("SN-B"), c = RowOfSerial("SN-C"),
               d = RowOfSerial("SN-D");
    ASSERT_EQ(Cell(b, column::kAddress), "192.168.2.10");
    EXPECT_EQ(marks.MarksOf(a).sameIpOthers, 1);
    EXPECT_EQ(marks.MarksOf(b).sameIpOthers, 1);
    EXPECT_TRUE(marks.MarksOf(c).otherSubnet);
    EXPECT_FALSE(marks.MarksOf(d).Any());
    EXPECT_EQ(list.GetItemBackgroundColour(a), kSameIpColour);
    EXPECT_EQ(list.GetItemBackgroundColour(b), kSameIpColour);
    EXPECT_EQ(list.GetItemBackgroundColour(c), kOtherSubnetColour);
    EXPECT_NE(list.GetItemBackgroundColour(d), kSameIpColour);
    EXPECT_NE(list.GetItemBackgroundColour(d), kOtherSubnetColour);
    EXPECT_EQ(list.GetItemTextColour(c), *wxBLACK);
    EXPECT_EQ(marks.CountsText(), wxString::FromUTF8("IP重复 2 台\n不在本机网段 1 台"));
    EXPECT_EQ(OnlineCount(), "4");

    Focus(c);
    EXPECT_EQ(marks.InfoText(),
              wxString::FromUTF8("不在本机网段（经 192.168.2.100 收到），网页无法直接打开；"
                                 "可用“自动分配IP”改到本机网段"));
    Focus(a);
    EXPECT_EQ(marks.InfoText(),
              wxString::FromUTF8("IP地址与另外 1 台设备相同（经 192.168.2.100 收到）"));
    Focus(d);
    EXPECT_EQ(marks.InfoText(), wxString::FromUTF8("经 192.168.2.100 收到"));

    // Sorting by the address moves each row with its marks and colour.
    wxListEvent click(wxEVT_LIST_COL_CLICK, ids::kDeviceList);
    click.m_col = column::kAddress;
    click.SetEventObject(&list);
    list.GetEventHandler()->ProcessEvent(click);
    const long sortedC = RowOfSerial("SN-C");
    EXPECT_EQ(sortedC, 3);  // 192.168.5.20 sorts last
    EXPECT_TRUE(marks.MarksOf(sortedC).otherSubnet);
    EXPECT_EQ(list.GetItemBackgroundColour(sortedC), kOtherSubnetColour);
    EXPECT_EQ(list.GetItemBackgroundColour(RowOfSerial("SN-B")), kSameIpColour);
}

TEST_F(MarksWindowTest, ASearchNobodyAnswersSaysWhereItWentOutAndWhy) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    net.AddLink("192.168.3.100/24");
    nothingFoundAfter = std::chrono::milliseconds(300);  // not the program's 3 s
    OpenWindow();
    const wxString expected = wxString::FromUTF8(
        "搜索经 192.168.2.100、192.168.3.100 发出，没有设备应答。常见原因：网线未接好，"
        "设备在路由器另一侧的网段，或防火墙拦截了摄像机的应答（firewalld：firewall-cmd "
        "--permanent --add-service=vimbrel && firewall-cmd --reload；ufw：ufw allow proto udp "
        "from any port 9876）。");
    EXPECT_TRUE(PumpUntil([&] { return window->Marks().FindingText() == expected; }, 10s))
        << window->Marks().FindingText();
    EXPECT_FALSE(window->Marks().AllowFirewallButton().IsShown());  // no fix here
    EXPECT_EQ(window->Marks().CountsText(), "");
}

}  // namespace
}  // namespace vimbrel::test
