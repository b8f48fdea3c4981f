// The window at scale and under attack: a thousand cameras answering at
// once, the bounds on queued replies and rows, and a flood of valid replies
// from a hostile host while real cameras stand beside it.
#include <atomic>
#include <chrono>
#include <fstream>
#include <set>
#include <vector>
#include <string>
#include <thread>

#include <wx/app.h>

#include "res/control_ids.h"
#include "tests/support/replies.h"
#include "tests/support/socket_port.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

#if defined(__SANITIZE_THREAD__)
constexpr int kSlowdown = 4;  // the thread checker slows every thread down
constexpr bool kMemoryChecked = false;  // its shadow memory counts as resident
#else
constexpr int kSlowdown = 1;
constexpr bool kMemoryChecked = true;
#endif

double WallSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double ResidentMB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
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
    net.AddCamera(net.AddLink("192.168.2.100/22"), cameras);
    OpenWindow();
    WaitForRows(1000, 300ms);  // and no row twice
    EXPECT_EQ(window->DeviceList().GetItemCount(), 1000);
    EXPECT_EQ(ListedMacs().size(), 1000u);
    EXPECT_EQ(OnlineCount(), "1000");
}

TEST_F(ScaleWindowTest, QueueAndRowsStayAtTheirBoundsAndTheCountSaysSo) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    OpenWindow();
    PumpFor(200ms);
    protocol::ReplyQueue& queue = window->Session().Replies();
    // Queued as the receive thread would, without a word to the window: its
    // reminder brings them.
    for (std::uint16_t n = 0; n < protocol::kMaxQueuedReplies + 5; ++n)
        queue.Push(NumberedReply(n));
    EXPECT_EQ(queue.Size(), protocol::kMaxQueuedReplies);
    EXPECT_EQ(queue.Dropped(), 5u);

    // Added in slices between other events, up to the bound.
    ASSERT_TRUE(PumpUntil([&] { return window->DeviceList().GetItemCount() > 0; }, 5s));
    EXPECT_LT(window->DeviceList().GetItemCount(), static_cast<long>(kMaxDeviceRows));
    PumpUntil(
        [&] { return window->DeviceList().GetItemCount() >= static_cast<long>(kMaxDeviceRows); },
        std::chrono::seconds(10 * kSlowdown));
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
// MACs at 20,000 a second. The window stays usable: a click on "搜索" puts
// a search on the wire within 0.5 s, the bounds hold, memory stays below
// 300 MB, a search after the flood lists the real cameras, and Esc during a
// flood ends the window within 1.1 s.
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
    const std::uint16_t port = PortOf(window->Session().Sockets().Lock());
    ASSERT_NE(port, 0);

    std::atomic<bool> flooding{false};
    auto flood = [&](int seconds) {
        flooding = true;
        return std::thread([&, seconds] {
            try {
                net.RunInHost(
                    host, {VIMBREL_FLOOD, "--to", "192.168.2.100:" + std::to_string(port), "--rate",
                           "20000", "--count", std::to_string(seconds * 20000)});
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
            flooding = false;
        });
    };
    // The seconds from `since` until the camera sees a search's multicast.
    auto searchOnWire = [&](double since) {
        const auto end = Clock::now() + 5s;
        while (Clock::now() < end) {
            for (const auto& datagram : net.CameraLog(camera))
                if (datagram.time > since && datagram.kind == "multicast")
                    return datagram.time - since;
            std::this_thread::sleep_for(5ms);
        }
        return -1.0;
    };

    // The list fills up to its bound; then clicks on "搜索" every second while
    // the flood lasts, queued from a thread of their own as the toolkit
    // queues them, so that the window thread only ever handles events.
    std::thread first = flood(8);
    std::vector<double> clicks;
    std::atomic<bool> filled{false};
    std::thread clicker([&] {
        for (std::this_thread::sleep_for(1000ms); flooding; std::this_thread::sleep_for(1000ms)) {
            if (!filled) continue;
            const double clicked = WallSeconds();
            wxQueueEvent(window, new wxCommandEvent(wxEVT_BUTTON, ids::kSearch));
            clicks.push_back(searchOnWire(clicked));
        }
    });
    long mostRows = 0;
    bool countShowedBound = false;
    std::size_t mostQueued = 0;
    double peakMB = 0;
    PumpUntil(
        [&] {
            mostRows = std::max<long>(mostRows, window->DeviceList().GetItemCount());
            if (OnlineCount() == "10000+") countShowedBound = filled = true;
            mostQueued = std::max(mostQueued, window->Session().Replies().Size());
            peakMB = std::max(peakMB, ResidentMB());
            return !flooding;
        },
        30s);
    first.join();
    clicker.join();
    ASSERT_GE(clicks.size(), 1u) << "the list never reached its bound during the flood";
    for (std::size_t i = 0; i < clicks.size(); ++i) {
        EXPECT_GE(clicks[i], 0) << "click " << i << ": no search within 5 s";
        EXPECT_LT(clicks[i], 0.5 * kSlowdown) << "click " << i;
    }
    EXPECT_EQ(mostRows, static_cast<long>(kMaxDeviceRows));
    EXPECT_TRUE(countShowedBound);
    EXPECT_LE(mostQueued, protocol::kMaxQueuedReplies);
    if (kMemoryChecked) {
        EXPECT_LT(peakMB, 300);
    }

    // Once the window has caught up with the flood (what was queued before
    // a search is still listed after it), a search lists the real cameras
    // and nothing else.
    PumpUntil(
        [&] {
            return window->DeviceList().GetItemCount() == static_cast<long>(kMaxDeviceRows) &&
                   window->Session().Replies().Size() == 0;
        },
        std::chrono::seconds(10 * kSlowdown));
    PumpFor(300ms);
    Press(ids::kSearch);
    WaitForRows(3, 300ms);  // and no flood row after them
    EXPECT_EQ(window->DeviceList().GetItemCount(), 3);
    EXPECT_EQ(OnlineCount(), "3");
    EXPECT_NE(RowOfSerial("SN0001-0002"), -1);

    // Esc in the middle of a flood.
    std::thread second = flood(3);
    PumpUntil([&] { return window->DeviceList().GetItemCount() > 100; }, 2s);
    auto* key = new wxKeyEvent(wxEVT_CHAR_HOOK);
    key->m_keyCode = WXK_ESCAPE;
    const auto pressed = Clock::now();
    wxQueueEvent(window, key);
    EXPECT_TRUE(PumpUntil([&] { return window->ExitDone(); }, 5s));
    EXPECT_LT(Clock::now() - pressed, std::chrono::milliseconds(1100 * kSlowdown));
    PumpUntil([&] { return !flooding; }, 10s);
    second.join();
}

}  // namespace
}  // namespace vimbrel::test
