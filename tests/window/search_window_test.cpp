// The main window in the private network: start-up state, the search from
// the button to the rows, the reply checks, the reminder and every way out.
#include <set>
#include <chrono>
#include <cstring>
#include <thread>

#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/time.h>

#include "platform/ipv4_text.h"
#include "platform/udp_socket.h"
#include "tests/support/addresses.h"
#include "tests/support/column_titles.h"
#include "tests/support/session_insides.h"
#include "tests/support/socket_port.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

// Where a reply's fields lie (the port: 32 bits, big-endian), and where a
// search request has the magic.
constexpr std::size_t kReplySize = 388, kPortOffset = 8, kMagicOffset = 16, kIpTextOffset = 28,
                      kMacOffset = 92, kSerialOffset = 292, kRequestMagicOffset = 8;

// A reply as a camera sends it, offsets written out.
std::vector<std::uint8_t> CraftedReply(std::uint8_t code, std::size_t magicAt,
                                       std::uint8_t macLast) {
    std::vector<std::uint8_t> b(kReplySize, 0);
    b[0] = code;  // little-endian
    b[kPortOffset + 3] = 0x50;  // port 80
    std::memcpy(&b[magicAt], "IpCamera", 8);
    std::memcpy(&b[kIpTextOffset], "192.168.2.50", 12);
    const std::uint8_t mac[6] = {0x02, 0x00, 0x00, 0x00, 0x00, macLast};
    std::memcpy(&b[kMacOffset], mac, 6);
    std::memcpy(&b[kSerialOffset], "INJECTED", 8);
    return b;
}

class SearchWindowTest : public WindowTest {
protected:
    // Sends `bytes` to the window's socket on the first link, from the
    // computer's own namespace.
    void SendToWindow(const std::vector<std::uint8_t>& bytes) {
        const std::uint16_t port = PortOf(SessionInsides::Sockets(window->Session()).Lock());
        ASSERT_NE(port, 0);
        lab::RequirePrivateNetwork();
        const platform::SocketHandle s = platform::OpenUdpSocket();
        platform::SendDatagram(s, bytes.data(), bytes.size(), kComputer, port);
        platform::CloseSocket(s);
    }

    void AddThreeCameras() {
        const int link1 = net.AddLink("192.168.2.100/24");
        const int link2 = net.AddLink("192.168.3.100/24");
        lab::CameraConfig c;
        c.serial = "SN-A";
        c.ip = "192.168.2.21";
        c.mac = "00:1A:2B:3C:4D:01";
        net.AddCamera(link1, c);
        c.serial = "SN-B";
        c.ip = "192.168.2.22";
        c.mac = "00:1A:2B:3C:4D:02";
        c.status = "运行正常";
        net.AddCamera(link1, c);
        c.serial = "SN-C";
        c.ip = "192.168.3.23";
        c.mac = "00:1A:2B:3C:4D:03";
        c.port = 8080;
        net.AddCamera(link2, c);
    }
};

// No root, no network: the window is built and started apart from them.
TEST_F(SearchWindowTest, StartsEmptyWithEveryCommandDisabled) {
    OpenWindowOffline();
    auto& list = window->DeviceList();
    wxString titles;
    for (int i = 0; i < list.GetColumnCount(); ++i) {
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT);
        list.GetColumn(i, item);
        titles << (i ? "\t" : "") << item.GetText();
    }
    EXPECT_EQ(titles, wxString::FromUTF8(kColumnTitles));
    for (int id : {ids::kDeviceList, ids::kCheckAll, ids::kSearch, ids::kStaticOnline})
        EXPECT_NE(window->FindWindow(id), nullptr) << id;
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(OnlineCount(), "");
    EXPECT_EQ(EnabledCommandButtons(), 0);
    EXPECT_FALSE(wxDynamicCast(window->FindWindow(ids::kCheckAll), wxCheckBox)->IsChecked());
    EXPECT_FALSE(window->FindWindow(wxID_OK)->IsShown());
    EXPECT_FALSE(window->FindWindow(ids::kChangeModel)->IsShown());
}

// With no local address the search can't go out: the count area says so
// instead of showing an empty list as if no camera answered.
TEST_F(SearchWindowTest, SearchWithoutALocalAddressSaysSo) {
    LAB_REQUIRE_ROOT();
    net.SetLoopback(false);
    OpenWindow();
    EXPECT_TRUE(PumpUntil([&] { return OnlineCount() == wxString::FromUTF8("无网络"); }, 10s));
    EXPECT_EQ(window->DeviceList().GetItemCount(), 0);
}

// A socket whose every send fails (its address taken off the interface,
// while the session still counts it): the count area says "未发出", and the
// system's reason is in its tooltip.
TEST_F(SearchWindowTest, SearchWhoseEverySendFailsSaysNotSent) {
    LAB_REQUIRE_ROOT();
    net.SetLoopback(false);
    net.AddLink("192.168.2.100/24");
    net.EnterComputer();
    lab::RequirePrivateNetwork();
    StartWindow(std::make_unique<DeviceSession>([] {
                    return std::vector<platform::LocalAddress>{{0xC0A80264, 0xFFFFFF00}};
                }),
                SEARCH_PERIOD_MS);
    ASSERT_TRUE(PumpUntil(
        [&] { return PortOf(SessionInsides::Sockets(window->Session()).Lock()) != 0; }, 5s));
    ASSERT_TRUE(PumpUntil([&] { return !window->SearchGoingOut(); }, 10s));
    EXPECT_EQ(OnlineCount(), "");

    net.RunInComputer({"ip", "addr", "del", "192.168.2.100/24", "dev", "br0"});
    Press(ids::kSearch);
    EXPECT_TRUE(PumpUntil([&] { return OnlineCount() == wxString::FromUTF8("未发出"); }, 10s));
    auto* count = window->FindWindow(ids::kStaticOnline);
    ASSERT_NE(count->GetToolTip(), nullptr);
    EXPECT_TRUE(count->GetToolTipText().StartsWith(
        wxString::FromUTF8("搜索请求在每个本机地址上都发送失败。原因：")))
        << count->GetToolTipText();
}

// On a screen larger than the template the list keeps the template's size.
TEST_F(SearchWindowTest, LargeScreenKeepsTheTemplatesSize) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    OpenWindow();
    EXPECT_EQ(window->DeviceList().GetSize(), window->ConvertDialogToPixels(wxSize(455, 271)));
    EXPECT_EQ(window->GetClientSize(), window->ConvertDialogToPixels(wxSize(469, 335)));
}

TEST_F(SearchWindowTest, FirstSearchListsEachCameraOnce) {
    LAB_REQUIRE_ROOT();
    AddThreeCameras();
    OpenWindow();
    WaitForRows(3);
    // Every camera has had the broadcast copy too, and what came of it is
    // taken: a second row for a camera would show by now.
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (int camera = 0; camera < 3; ++camera)
                if (Received(camera, 100, "broadcast").empty()) return false;
            return !window->Session().RepliesWaiting();
        },
        10s));
    auto& list = window->DeviceList();
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(OnlineCount(), "3");
    const long b = RowOfSerial("SN-B");
    ASSERT_NE(b, -1);
    EXPECT_EQ(Cell(b, 3), "192.168.2.22");
    EXPECT_EQ(Cell(b, 4), "00:1A:2B:3C:4D:02");
    EXPECT_EQ(Cell(b, 5), "80");
    EXPECT_EQ(Cell(b, 7), wxString::FromUTF8("运行正常"));
    EXPECT_EQ(Cell(RowOfSerial("SN-C"), 5), "8080");
    for (long row = 0; row < 3; ++row) EXPECT_EQ(Cell(row, 0), wxString::Format("%ld", row + 1));
}

TEST_F(SearchWindowTest, OnlyRealRepliesBecomeRowsAndQueuedOnesComeByReminder) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    OpenWindow();
    ASSERT_TRUE(PumpUntil(
        [&] { return PortOf(SessionInsides::Sockets(window->Session()).Lock()) != 0; }, 5s));
    // One sender, one path: the window's socket gets them in this order, and
    // each is taken before the next.
    SendToWindow(CraftedReply(101, kMagicOffset, 0x01));  // another code
    SendToWindow(CraftedReply(100, kRequestMagicOffset, 0x02));  // a search request's layout
    auto nonZeroAfterMagic = CraftedReply(100, kMagicOffset, 0x03);
    nonZeroAfterMagic[kMagicOffset + 8] = 'X';
    SendToWindow(nonZeroAfterMagic);
    SendToWindow(CraftedReply(100, kMagicOffset, 0x04));
    WaitForRows(1);
    EXPECT_EQ(window->DeviceList().GetItemCount(), 1);
    EXPECT_EQ(Cell(0, 4), "02:00:00:00:00:04");
    EXPECT_EQ(OnlineCount(), "1");

    SendToWindow(CraftedReply(100, kMagicOffset, 0x04));  // the same MAC again
    SendToWindow(CraftedReply(100, kMagicOffset, 0x08));
    WaitForRows(2);
    EXPECT_EQ(window->DeviceList().GetItemCount(), 2);
    EXPECT_EQ((std::set<wxString>{Cell(0, 4), Cell(1, 4)}),
              (std::set<wxString>{"02:00:00:00:00:04", "02:00:00:00:00:08"}));
    EXPECT_EQ(OnlineCount(), "2");

    // Queued without an event, before a search: only the receive thread's
    // reminders, about one a second, bring them to the emptied list. (The
    // window's first search is out first: a press during it would join it.)
    ASSERT_TRUE(PumpUntil([&] { return !window->SearchGoingOut(); }, 10s));
    for (std::uint8_t mac = 5; mac <= 7; ++mac) {
        auto bytes = CraftedReply(100, kMagicOffset, mac);
        protocol::ReplyBuffer reply{};
        std::copy(bytes.begin(), bytes.end(), reply.begin());
        SessionInsides::Replies(window->Session()).Push(reply);
    }
    Press(ids::kSearch);
    PumpUntil([&] { return window->DeviceList().GetItemCount() == 3; }, 10s);
    EXPECT_EQ(OnlineCount(), "3");
}

TEST_F(SearchWindowTest, SearchButtonResetsListAndControls) {
    LAB_REQUIRE_ROOT();
    AddThreeCameras();
    OpenWindow();
    WaitForRows(3);
    SetSelectAll(true);
    ASSERT_EQ(EnabledCommandButtons(), 7);

    // A press while the first search is still going out joins it: pressed
    // until one starts a search of its own.
    EXPECT_TRUE(PumpUntil([&] {
        Press(ids::kSearch);
        return window->DeviceList().GetItemCount() == 0;
    }));
    EXPECT_FALSE(wxDynamicCast(window->FindWindow(ids::kCheckAll), wxCheckBox)->IsChecked());
    EXPECT_EQ(EnabledCommandButtons(), 0);
    EXPECT_EQ(OnlineCount(), "");
    WaitForRows(3);
    EXPECT_EQ(window->DeviceList().GetItemCount(), 3);
}

// 72 local addresses, more than one select() set holds: the camera behind
// the last one (its link came last) is listed.
TEST_F(SearchWindowTest, CameraBehindTheSeventySecondLocalAddressIsListed) {
    LAB_REQUIRE_ROOT();
    net.AddLink("10.50.0.100/24");
    net.RunInComputer(
        {"sh", "-c", "for h in $(seq 101 170); do ip addr add 10.50.0.$h/24 dev br0; done"});
    lab::CameraConfig camera;
    camera.ip = "192.168.3.10";
    net.AddCamera(net.AddLink("192.168.3.100/24"), camera);
    OpenWindow();
    // The first search's refresh runs on the search's own thread.
    ASSERT_TRUE(PumpUntil([&] { return window->Session().SearchAddresses().size() == 72u; }));
    EXPECT_EQ(window->Session().SearchAddresses().back(), *platform::ParseIPv4("192.168.3.100"));
    WaitForRows(1);
    EXPECT_EQ(Cell(0, column::kAddress), "192.168.3.10");
}

// The search goes out on a thread of its own, in rounds: presses that come
// while they are under way join them, so one search's rounds reach the
// camera, not two searches'.
TEST_F(SearchWindowTest, PressesDuringTheRoundsJoinThem) {
    LAB_REQUIRE_ROOT();
    const int camera = net.AddCamera(net.AddLink("192.168.2.100/24"), lab::CameraConfig{});
    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return net.CameraLog(camera).size() >= 2; }, 10s));
    ASSERT_TRUE(window->SearchGoingOut());
    Press(ids::kSearch);
    Press(ids::kSearch);
    Press(ids::kSearch);
    ASSERT_TRUE(PumpUntil([&] { return !window->SearchGoingOut(); }, 10s));
    // Everything the rounds sent is on its way; nothing more follows them.
    ASSERT_TRUE(PumpUntil([&] { return net.CameraLog(camera).size() >= 6; }, 10s));
    EXPECT_EQ(net.CameraLog(camera).size(), 6u);
    WaitForRows(1);
    // Once they have ended, a press is a search of its own.
    Press(ids::kSearch);
    EXPECT_TRUE(window->SearchGoingOut());
    EXPECT_TRUE(PumpUntil([&] { return net.CameraLog(camera).size() >= 8; }, 10s));
}

// The window's first search on each link: three rounds, each the multicast
// and 50 ms later the broadcast, the second 200–300 ms after the first, the
// third 400–600 ms after the second (the wire may add a little, never take
// away).
TEST_F(SearchWindowTest, FirstSearchGoesOutInThreeRoundsOnEachLink) {
    LAB_REQUIRE_ROOT();
    lab::CameraConfig c;
    const int first = net.AddCamera(net.AddLink("192.168.2.100/24"), c);
    c.ip = "192.168.3.23";
    c.mac = "00:1A:2B:3C:4D:03";
    const int second = net.AddCamera(net.AddLink("192.168.3.100/24"), c);
    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return !window->SearchGoingOut(); }, 10s));
    for (const int camera : {first, second}) {
        const auto got = ReceivedAtLeast(6, camera, 100);
        ASSERT_EQ(got.size(), 6u) << camera;
        const auto ms = [&](std::size_t a, std::size_t b) {
            return (got[b].time - got[a].time) * 1000.0;
        };
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_EQ(got[i].kind, i % 2 == 0 ? "multicast" : "broadcast") << i;
        for (std::size_t round = 0; round < 3; ++round) EXPECT_GE(ms(2 * round, 2 * round + 1), 45);
        // Each round's start is fixed from the search's start; the first
        // round also opens the sockets, which a loaded machine can hold up
        // by some tens of milliseconds (the later rounds come that much
        // sooner after it).
        EXPECT_GE(ms(0, 2), 140);
        EXPECT_GE(ms(0, 4), 540);
    }
}

// The periodic search's pause counts from the end of the last round: with a
// period of 1 s the next search's multicast comes at least 1 s after the
// third round's broadcast, not 1 s after the first round.
TEST_F(SearchWindowTest, PeriodicSearchPausesFromTheLastRound) {
    LAB_REQUIRE_ROOT();
    const int camera = net.AddCamera(net.AddLink("192.168.2.100/24"), lab::CameraConfig{});
    OpenWindow(1000ms);
    const auto got = ReceivedAtLeast(7, camera, 100);
    ASSERT_GE(got.size(), 7u);
    EXPECT_EQ(got[5].kind, "broadcast");
    EXPECT_EQ(got[6].kind, "multicast");
    EXPECT_GE(got[6].time - got[5].time, 0.99);
}

// Esc while rounds are still to come ends the window at once: the wait
// before the next round is cut short, not waited out.
TEST_F(SearchWindowTest, EscapeDuringTheRoundsEndsTheWindowAtOnce) {
    LAB_REQUIRE_ROOT();
    const int camera = net.AddCamera(net.AddLink("192.168.2.100/24"), lab::CameraConfig{});
    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return net.CameraLog(camera).size() >= 2; }, 10s));
    ASSERT_TRUE(window->SearchGoingOut());
    const double firstRound = net.CameraLog(camera).front().time;
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = WXK_ESCAPE;
    window->GetEventHandler()->ProcessEvent(key);
    const double ended = wxGetUTCTimeMillis().ToDouble() / 1000;
    EXPECT_TRUE(window->ExitDone());
    EXPECT_TRUE(window->ReceiveThreadExited());
    // The third round was due 600 ms or more after the first: the window
    // ended before it, and it never went out.
    EXPECT_LT(ended, firstRound + 0.6);
    EXPECT_LT(net.CameraLog(camera).size(), 6u);
}

// Every way out stops the receive thread before the sockets close (that the
// stop wakes its wait is the receive lab test's).
class ExitPathTest : public SearchWindowTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExitPathTest, StopsTheReceiveThreadAndClosesTheSockets) {
    LAB_REQUIRE_ROOT();
    AddThreeCameras();
    OpenWindow();
    WaitForRows(3);
    SetSelectAll(true);  // Enter reaches the default button only while it is enabled
    const std::string path = GetParam();
    if (path == "exit button") {
        Press(wxID_CANCEL);
    } else if (path == "escape") {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        window->GetEventHandler()->ProcessEvent(key);
    } else if (path == "close box") {
        window->Close();
    } else {
        Press(wxID_OK);
    }
    EXPECT_TRUE(window->ExitDone());
    EXPECT_TRUE(window->ReceiveThreadExited());
    const auto sockets = SessionInsides::Sockets(window->Session()).Lock();
    for (const auto& entry : sockets.Entries()) EXPECT_EQ(entry.socket, platform::kInvalidSocket);
}

INSTANTIATE_TEST_SUITE_P(Paths, ExitPathTest,
                         ::testing::Values("exit button", "escape", "close box", "enter"));

}  // namespace
}  // namespace vimbrel::test
