// The window at scale and under attack: a thousand cameras answering at
// once, the bounds on queued replies and rows, and a flood of valid replies
// from a hostile host while real cameras stand beside it.
#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <set>
#include <vector>
#include <string>
#include <thread>

#include <wx/app.h>

#include "res/control_ids.h"
#include "tests/support/replies.h"
#include "tests/support/session_insides.h"
#include "tests/support/socket_port.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

double WallSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The bytes waiting in the receive queue of the UDP socket on `port`, as the
// kernel tells it for the calling thread's namespace; -1 when there is none.
long ReceiveQueued(std::uint16_t port) {
    std::ifstream udp("/proc/thread-self/net/udp");
    std::string line;
    std::getline(udp, line);  // the titles
    while (std::getline(udp, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues;
        if (!(fields >> slot >> local >> remote >> state >> queues)) continue;
        if (std::stoul(local.substr(local.find(':') + 1), nullptr, 16) != port) continue;
        return std::stol(queues.substr(queues.find(':') + 1), nullptr, 16);
    }
    return -1;
}

class ScaleWindowTest : public WindowTest {
protected:
    std::set<wxString> ListedMacs() {
        std::set<wxString> macs;
        for (long row = 0; row < window->DeviceList().GetItemCount(); ++row)
            macs.insert(Cell(row, 4));
        return macs;
    }
};

TEST_F(ScaleWindowTest, ThousandCamerasAnsweringAtOnceGiveAThousandRows) {
    LAB_REQUIRE_ROOT();
    lab::CameraConfig cameras;
    cameras.ip = "192.168.2.1";
    cameras.count = 1000;
    const int camera = net.AddCamera(net.AddLink("192.168.2.100/22"), cameras);
    OpenWindow();
    WaitForRows(1000);
    // The broadcast copy came too and what it brought is taken: a row twice
    // would show by now.
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (const auto& datagram : net.CameraLog(camera))
                if (datagram.kind == "broadcast") return !window->Session().RepliesWaiting();
            return false;
        },
        10s));
    EXPECT_EQ(window->DeviceList().GetItemCount(), 1000);
    EXPECT_EQ(ListedMacs().size(), 1000u);
    EXPECT_EQ(OnlineCount(), "1000");
}

TEST_F(ScaleWindowTest, QueueAndRowsStayAtTheirBoundsAndTheCountSaysSo) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    OpenWindow();
    // The first search's rounds are over: nothing empties the list meanwhile.
    ASSERT_TRUE(PumpUntil([&] { return !window->SearchGoingOut(); }, 10s));
    protocol::ReplyQueue& queue = SessionInsides::Replies(window->Session());
    // Queued as the receive thread would, without a word to the window: its
    // reminder brings them.
    for (std::uint16_t n = 0; n < protocol::kMaxQueuedReplies + 5; ++n)
        queue.Push(NumberedReply(n));
    EXPECT_EQ(queue.Size(), protocol::kMaxQueuedReplies);
    EXPECT_EQ(queue.Dropped(), 5u);

    // Added in slices between other events, up to the bound.
    ASSERT_TRUE(PumpUntil([&] { return window->DeviceList().GetItemCount() > 0; }, 10s));
    EXPECT_LT(window->DeviceList().GetItemCount(), static_cast<long>(kMaxDeviceRows));
    PumpUntil(
        [&] { return window->DeviceList().GetItemCount() >= static_cast<long>(kMaxDeviceRows); },
        std::chrono::seconds(30));
    EXPECT_EQ(window->DeviceList().GetItemCount(), static_cast<long>(kMaxDeviceRows));
    EXPECT_EQ(OnlineCount(), "10000+");
    // How many were lost, on the count.
    wxWindow* count = window->FindWindow(ids::kStaticOnline);
    EXPECT_EQ(count->GetToolTipText(),
              wxString::FromUTF8("丢失了 5 个回复（同时到达的太多），列表可能不全。"));
    EXPECT_EQ(Cell(9999, 0), "10000");
    EXPECT_EQ(Cell(9999, 4), "02:00:00:00:27:0F");

    // Full: a new MAC is turned away on its way in, and counted.
    EXPECT_FALSE(queue.Push(NumberedReply(20000)));
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_EQ(queue.Dropped(), 6u);

    // A search starts over: empty list, no count, replies taken again.
    Press(ids::kSearch);
    EXPECT_EQ(window->DeviceList().GetItemCount(), 0);
    EXPECT_EQ(OnlineCount(), "");
    EXPECT_EQ(count->GetToolTipText(), "");
    EXPECT_EQ(queue.Dropped(), 0u);
    queue.Push(NumberedReply(1));
    queue.Push(NumberedReply(1));
    window->OnDeviceReply();
    EXPECT_EQ(window->DeviceList().GetItemCount(), 1);
    EXPECT_EQ(OnlineCount(), "1");
}

// A hostile host floods the window's socket with valid replies of distinct
// MACs at 20,000 a second. The window stays usable: the list and the queue
// stop at their bounds and the count says so, a click on "搜索" during the
// flood puts a search on the wire, a search after the flood lists the real
// cameras and nothing else, and Esc during a flood ends the window. How fast
// and in how much memory is the flood benchmark's to measure and bound.
TEST_F(ScaleWindowTest, FloodOfDistinctRepliesLeavesTheWindowUsable) {
    LAB_REQUIRE_ROOT();
    net.SetLoopback(false);  // one socket: the click's first datagram is the link's
    const int link = net.AddLink("192.168.2.100/24");
    lab::CameraConfig cameras;
    cameras.ip = "192.168.2.21";
    cameras.count = 3;
    const int camera = net.AddCamera(link, cameras);
    const std::string host = net.AddHost(link, "192.168.2.200");
    OpenWindow();
    WaitForRows(3);
    const std::uint16_t port = PortOf(SessionInsides::Sockets(window->Session()).Lock());
    ASSERT_NE(port, 0);

    std::atomic<bool> flooding{false};
    auto flood = [&](int replies) {
        flooding = true;
        return std::thread([&, replies] {
            try {
                net.RunInHost(host, {VIMBREL_FLOOD, "--to", "192.168.2.100:" + std::to_string(port),
                                     "--rate", "20000", "--count", std::to_string(replies)});
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
            flooding = false;
        });
    };
    long mostRows = 0;
    std::size_t mostQueued = 0;
    auto watch = [&] {
        mostRows = std::max<long>(mostRows, window->DeviceList().GetItemCount());
        mostQueued = std::max(mostQueued, SessionInsides::Replies(window->Session()).Size());
    };

    // Far more distinct MACs than the list may hold: it fills to its bound.
    std::thread first = flood(80000);
    EXPECT_TRUE(PumpUntil(
        [&] {
            watch();
            return OnlineCount() == "10000+";
        },
        30s));
    // A click while the flood goes on: a search reaches the camera.
    const double clicked = WallSeconds();
    wxQueueEvent(window, new wxCommandEvent(wxEVT_BUTTON, ids::kSearch));
    EXPECT_TRUE(PumpUntil(
        [&] {
            watch();
            for (const auto& datagram : net.CameraLog(camera))
                if (datagram.time > clicked && datagram.kind == "multicast") return true;
            return false;
        },
        10s));
    PumpUntil(
        [&] {
            watch();
            return !flooding;
        },
        60s);
    first.join();
    EXPECT_EQ(mostRows, static_cast<long>(kMaxDeviceRows));
    EXPECT_LE(mostQueued, protocol::kMaxQueuedReplies);

    // Once the window has caught up with the flood (what was queued before
    // a search is still listed after it, and what waits in the socket too),
    // a search lists the real cameras and nothing else: the cameras had both
    // copies and all is taken.
    EXPECT_TRUE(PumpUntil(
        [&] {
            return !window->Session().RepliesWaiting() && ReceiveQueued(port) == 0 &&
                   !window->TakingReplies() && !window->SearchGoingOut();
        },
        30s));
    const std::size_t before = net.CameraLog(camera).size();
    Press(ids::kSearch);
    ASSERT_TRUE(PumpUntil(
        [&] {
            const auto log = net.CameraLog(camera);
            std::size_t broadcasts = 0;
            for (std::size_t i = before; i < log.size(); ++i)
                broadcasts += log[i].kind == "broadcast" ? 1 : 0;
            return broadcasts >= 1 && window->DeviceList().GetItemCount() >= 3 &&
                   !window->Session().RepliesWaiting();
        },
        10s));
    EXPECT_EQ(window->DeviceList().GetItemCount(), 3);
    EXPECT_EQ(OnlineCount(), "3");
    EXPECT_NE(RowOfSerial("SN0001-0002"), -1);

    // Esc in the middle of a flood.
    std::thread second = flood(60000);
    PumpUntil([&] { return window->DeviceList().GetItemCount() > 100; }, 10s);
    auto* key = new wxKeyEvent(wxEVT_CHAR_HOOK);
    key->m_keyCode = WXK_ESCAPE;
    wxQueueEvent(window, key);
    EXPECT_TRUE(PumpUntil([&] { return window->ExitDone(); }, 10s));
    EXPECT_TRUE(window->ReceiveThreadExited());
    PumpUntil([&] { return !flooding; }, 30s);
    second.join();
}

}  // namespace
}  // namespace vimbrel::test
