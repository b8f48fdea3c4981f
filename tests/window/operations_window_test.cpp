// The device operations from the main window on simulated cameras: batch
// commands, select-all and clicks, address assignment, model change and the
// web page.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <cstring>

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/progdlg.h>
#include <wx/timer.h>
#include <wx/xrc/xmlres.h>

#include "controls_ui/ip_address_ctrl.h"
#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"
#include "tests/support/addresses.h"
#include "tests/support/camera_log.h"
#include "tests/support/command_copies.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

// Where a command's fields lie: the target MAC's six bytes, the set-network
// texts one after the other, the model and the serial number, texts of 32 bytes.
constexpr std::size_t kCommandSize = 344, kTargetMacOffset = 20, kAddressOffset = 56,
                      kMaskOffset = 88, kGatewayOffset = 120, kExtraAddress1Offset = 152,
                      kExtraAddress2Offset = 184, kModelOffset = 216, kSerialOffset = 248,
                      kTextSize = 32;

// The 32-byte text field at `offset`.
std::vector<std::uint8_t> FieldAt(const std::vector<std::uint8_t>& b, std::size_t offset) {
    return {b.begin() + static_cast<std::ptrdiff_t>(offset),
            b.begin() + static_cast<std::ptrdiff_t>(offset + kTextSize)};
}

// target_mac as the list writes it.
wxString MacAt(const std::vector<std::uint8_t>& b) {
    const std::uint8_t* mac = &b[kTargetMacOffset];
    return wxString::Format("%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                            mac[5]);
}

class OperationsWindowTest : public WindowTest {
protected:
    // Three cameras: two on the first link and one on the second, or all
    // three on the first.
    void OpenWithCameras(const std::vector<std::string>& serials = {"SN-A", "SN-B", "SN-C"},
                         bool allOnFirstLink = false,
                         std::chrono::milliseconds searchPeriod = SEARCH_PERIOD_MS) {
        link1 = net.AddLink("192.168.2.100/24");
        const int link2 = net.AddLink("192.168.3.100/24");
        lab::CameraConfig c;
        for (int i = 0; i < 3; ++i) {
            const bool first = i < 2 || allOnFirstLink;
            c.serial = serials[i];
            c.ip = (first ? "192.168.2.2" : "192.168.3.2") + std::to_string(i + 1);
            c.mac = "00:1A:2B:3C:4D:0" + std::to_string(i + 1);
            cameras.push_back(net.AddCamera(first ? link1 : link2, c));
        }
        OpenWindow(searchPeriod);
        PumpUntil([&] { return window->DeviceList().GetItemCount() == 3; }, 10s);
    }

    // `count` cameras played by one simulator on a first link.
    void OpenWithCameraRun(int count) {
        link1 = net.AddLink("192.168.2.100/24");
        lab::CameraConfig c;
        c.ip = "192.168.2.21";
        c.count = count;
        cameras.push_back(net.AddCamera(link1, c));
        OpenWindow();
        WaitForRows(count);
    }

    void RunAddressDialog(int button, std::uint32_t start = Ip(192, 168, 2, 10),
                          std::uint32_t mask = Ip(255, 255, 255, 0)) {
        AnswerNextDialog([=](wxDialog& dialog) {
            wxDynamicCast(dialog.FindWindow(ids::kStartIP), CIPAddressCtrl)->SetAddress(start);
            wxDynamicCast(dialog.FindWindow(ids::kSubnetMask), CIPAddressCtrl)->SetAddress(mask);
            PressDialogButton(dialog, button);
        });
        Press(ids::kAutoAssignIP);
    }

    // The address texts of the set-network commands camera 0 received.
    std::vector<std::string> AddressesSent() {
        std::vector<std::string> sent;
        for (const auto& p : Received(cameras[0], 102, "multicast"))
            sent.push_back(TextAt(p.bytes, kAddressOffset));
        return sent;
    }

    void ChooseModel(const wxString& text) {
        AnswerNextDialog([text](wxDialog& dialog) {
            wxDynamicCast(dialog.FindWindow(ids::kModelCombo), wxComboBox)->SetValue(text);
            PressDialogButton(dialog, wxID_OK);
        });
        Press(ids::kChangeModel);
    }

    int link1 = 0;
    std::vector<int> cameras;
};

TEST_F(OperationsWindowTest, RebootSendsOnePacketPerSelectedRowOnEverySocket) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    SelectRows({0, 1, 2});
    ASSERT_EQ(EnabledCommandButtons(), 7);
    Press(ids::kReboot);
    for (int camera : cameras) {
        const auto packets = ReceivedAtLeast(6, camera, 103);
        // One sweep through the socket of its link: the three multicast
        // copies in list order, then the three broadcast copies in the same
        // order, each the same bytes as its multicast.
        ASSERT_EQ(packets.size(), 6u) << "camera " << camera;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(packets[i].kind, "multicast");
            EXPECT_EQ(packets[3 + i].kind, "broadcast");
            EXPECT_EQ(packets[i].bytes.size(), kCommandSize);
            EXPECT_EQ(packets[i].bytes, packets[3 + i].bytes);
            EXPECT_EQ(TextAt(packets[i].bytes, kSerialOffset), Cell(long(i), 1));
        }
    }
}

// Sorted, the list's rows still name their own devices: the selected row's
// serial number (by serial) and MAC (by MAC) go on the wire, whatever the
// order the replies came in.
TEST_F(OperationsWindowTest, ASortedListsSelectionActsOnTheCamerasItShows) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras({"SN-A", "SN-B", "SN-C"}, true);
    SortBy(column::kSerial);
    SortBy(column::kSerial);  // descending: SN-C, SN-B, SN-A
    ASSERT_EQ(Cell(0, column::kSerial), "SN-C");
    SelectRows({0});
    Press(ids::kReboot);
    const auto reboots = ReceivedAtLeast(2, cameras[0], 103);
    ASSERT_EQ(reboots.size(), 2u);  // its multicast and broadcast copies
    for (const auto& packet : reboots) EXPECT_EQ(TextAt(packet.bytes, kSerialOffset), "SN-C");

    SortBy(column::kMac);  // ascending: 4D:01, 4D:02, 4D:03
    ASSERT_EQ(Cell(1, column::kSerial), "SN-B");
    SelectRows({1});
    ChooseModel("ZR410");
    const auto models = ReceivedAtLeast(2, cameras[0], 105);
    ASSERT_EQ(models.size(), 2u);
    const std::vector<std::uint8_t> macB{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x02};
    for (const auto& packet : models)
        EXPECT_EQ(std::vector<std::uint8_t>(packet.bytes.begin() + kTargetMacOffset,
                                            packet.bytes.begin() + kTargetMacOffset + 6),
                  macB);
    EXPECT_TRUE(told.empty());
}

// A serial number that can't be written whole names no device: that row is
// skipped and named afterwards; the others go out.
TEST_F(OperationsWindowTest, RowWhoseSerialDoesNotFitIsSkippedAndNamed) {
    LAB_REQUIRE_ROOT();
    const std::string thirty(30, 'S'), thirtyOne(31, 'T');
    OpenWithCameras({thirty, thirtyOne, "SN-C"}, true);
    SetSelectAll(true);
    Press(ids::kReboot);
    const auto packets = ReceivedAtLeast(2, cameras[0], 103, "multicast");
    ASSERT_EQ(packets.size(), 2u);
    std::vector<std::uint8_t> sentThirty(32, 0);
    std::memcpy(sentThirty.data(), thirty.data(), 30);
    const std::vector<std::vector<std::uint8_t>> serials = {
        FieldAt(packets[0].bytes, kSerialOffset), FieldAt(packets[1].bytes, kSerialOffset)};
    std::vector<std::uint8_t> sentC(32, 0);
    std::memcpy(sentC.data(), "SN-C", 4);
    EXPECT_NE(std::find(serials.begin(), serials.end(), sentThirty), serials.end());
    EXPECT_NE(std::find(serials.begin(), serials.end(), sentC), serials.end());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].StartsWith("1 ")) << told[0];
    EXPECT_NE(told[0].Find(wxString(thirtyOne)), wxNOT_FOUND) << told[0];
}

TEST_F(OperationsWindowTest, SelectAllAndClicksDriveTheButtons) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    const int camera = net.AddCamera(0, lab::CameraConfig{});
    OpenWindow();
    WaitForRows(1);
    // The list is empty until the reply comes back (a press while the first
    // search is still going out joins it: pressed until one is taken).
    ASSERT_TRUE(PumpUntil([&] {
        Press(ids::kSearch);
        return window->DeviceList().GetItemCount() == 0;
    }));
    SetSelectAll(true);
    EXPECT_EQ(EnabledCommandButtons(), 7);
    Press(ids::kReboot);  // nothing selected: nothing sent (checked at the end)

    WaitForRows(1);
    SetSelectAll(true);
    auto& list = window->DeviceList();
    EXPECT_EQ(list.GetSelectedItemCount(), 1);
    list.SetItemState(0, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    SetSelectAll(false);
    EXPECT_EQ(list.GetSelectedItemCount(), 0);
    EXPECT_EQ(list.GetItemState(0, wxLIST_STATE_FOCUSED), 0);
    EXPECT_EQ(EnabledCommandButtons(), 0);

    SelectRows({0});
    EXPECT_EQ(EnabledCommandButtons(), 7);
    SelectRows({});
    EXPECT_EQ(EnabledCommandButtons(), 0);

    // One row's reboot: its two copies are all the camera got.
    SelectRows({0});
    Press(ids::kReboot);
    EXPECT_EQ(ReceivedAtLeast(2, camera, 103).size(), 2u);
}

// SN-C answered through 192.168.3.100; 192.168.2.x would leave it where
// this computer does not reach it. The window asks first: no probes and
// sends nothing, yes assigns as asked.
TEST_F(OperationsWindowTest, MovingCamerasOffTheirNetworkIsAskedFirst) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    std::vector<std::uint32_t> probed;
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, &probed));
    SetSelectAll(true);
    answerYes = false;
    RunAddressDialog(wxID_OK);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0],
              wxString::FromUTF8("1 台设备经 192.168.3.100 收到，新地址不在该网段，分配后本"
                                 "机将无法直接访问它们。仍然分配？\nSN-C"));
    EXPECT_TRUE(probed.empty());
    for (int camera : cameras) EXPECT_TRUE(Received(camera, 102).empty()) << camera;

    answerYes = true;
    RunAddressDialog(wxID_OK);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(probed.size(), 3u);
    EXPECT_EQ(ReceivedAtLeast(3, cameras[2], 102, "multicast").size(), 3u);
}

TEST_F(OperationsWindowTest, AssignsFreeAddressesProbedOnTheWire) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras({"SN-A", "SN-B", "SN-C"}, true);
    net.AddHost(link1, "192.168.2.10/24");
    net.AddHost(link1, "192.168.2.12/24");
    SetSelectAll(true);
    std::vector<wxString> macs;
    for (long row = 0; row < 3; ++row) macs.push_back(Cell(row, 4));

    AnswerNextDialog([](wxDialog& dialog) { PressDialogButton(dialog, wxID_OK); });  // the defaults
    Press(ids::kAutoAssignIP);

    const char* given[] = {"192.168.2.11", "192.168.2.13", "192.168.2.14"};
    for (int camera : cameras) {
        const auto packets = ReceivedAtLeast(3, camera, 102, "multicast");
        ASSERT_EQ(packets.size(), 3u) << "camera " << camera;
        for (std::size_t i = 0; i < 3; ++i) {
            const auto& b = packets[i].bytes;
            EXPECT_EQ(MacAt(b), macs[i]);
            EXPECT_EQ(TextAt(b, kAddressOffset), given[i]);
            EXPECT_EQ(TextAt(b, kMaskOffset), "255.255.255.0");
            EXPECT_EQ(TextAt(b, kGatewayOffset), "192.168.2.1");
            EXPECT_EQ(TextAt(b, kExtraAddress1Offset), "192.168.2.1");
            EXPECT_EQ(TextAt(b, kExtraAddress2Offset), "0.0.0.0");
        }
    }

    // The cameras moved: the next search shows their new addresses. (A press
    // while the rounds of the search before are under way would join them.)
    ASSERT_TRUE(PumpUntil([&] { return !window->SearchGoingOut(); }, 10s));
    Press(ids::kSearch);
    WaitForRows(3);
    for (long row = 0; row < 3; ++row)
        for (int i = 0; i < 3; ++i)
            if (Cell(row, 4) == macs[i]) {
                EXPECT_EQ(Cell(row, 3), given[i]);
            }
}

TEST_F(OperationsWindowTest, BroadcastAddressIsNeverGivenAndTheUnassignedAreNamed) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    std::vector<std::uint32_t> asked, taken;
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, &asked));
    SetSelectAll(true);
    RunAddressDialog(wxID_OK, Ip(192, 168, 2, 254));  // .254; .255 is the broadcast address
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{Ip(192, 168, 2, 254)}));
    EXPECT_EQ(AddressesSent(), (std::vector<std::string>{"192.168.2.254"}));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].StartsWith(wxString::FromUTF8("2 台设备未分配到IP地址"))) << told[0];
    EXPECT_NE(told[0].Find(Cell(1, 1)), wxNOT_FOUND);
    EXPECT_NE(told[0].Find(Cell(2, 1)), wxNOT_FOUND);
    EXPECT_EQ(told[0].Find(Cell(0, 1)), wxNOT_FOUND);

    // The search that confirms the new address has the list again first.
    ASSERT_TRUE(PumpUntil([&] { return !window->ConfirmingAddresses(); }, 20s));
    WaitForRows(3);
    SetSelectAll(true);
    for (int d = 250; d <= 254; ++d) taken.push_back(Ip(192, 168, 2, d));
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(taken, &asked));
    asked.clear();
    RunAddressDialog(wxID_OK, Ip(192, 168, 2, 250));  // every candidate answers
    EXPECT_EQ(asked, taken);
    asked.clear();
    RunAddressDialog(wxID_CANCEL);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(ReceivedAtLeast(1, cameras[0], 102, "multicast").size(), 1u);
    EXPECT_EQ(told.size(), 2u);  // three unassigned; nothing for the cancel
}

// Mask 255.255.255.128 from .120, .120 taken, eight devices: .121 to .126 go
// out, .127 (the broadcast address) and .128 on (another network) never.
TEST_F(OperationsWindowTest, AssignmentStaysInsideTheEnteredSubnet) {
    LAB_REQUIRE_ROOT();
    OpenWithCameraRun(8);
    std::vector<std::uint32_t> asked;
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(
        std::vector<std::uint32_t>{Ip(192, 168, 2, 120)}, &asked));
    SetSelectAll(true);
    RunAddressDialog(wxID_OK, Ip(192, 168, 2, 120), Ip(255, 255, 255, 128));
    ReceivedAtLeast(6, cameras[0], 102, "multicast");
    EXPECT_EQ(AddressesSent(),
              (std::vector<std::string>{"192.168.2.121", "192.168.2.122", "192.168.2.123",
                                        "192.168.2.124", "192.168.2.125", "192.168.2.126"}));
    for (std::uint32_t address : asked) EXPECT_LT(address, Ip(192, 168, 2, 127));
    for (const auto& p : Received(cameras[0], 102, "multicast"))
        EXPECT_EQ(TextAt(p.bytes, kMaskOffset), "255.255.255.128");
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].StartsWith(wxString::FromUTF8("2 台设备未分配到IP地址"))) << told[0];

    // Values the assignment cannot use: OK is refused with a message naming
    // the field, the dialog stays open with the values, nothing is probed or
    // sent. Cancel then closes it.
    struct Refused {
        std::uint32_t start, mask, gateway;
        const char* said;
    };
    const Refused refused[] = {
        {Ip(192, 168, 2, 10), Ip(255, 255, 0, 255), Ip(192, 168, 2, 1), "子网掩码无效"},
        {Ip(192, 168, 2, 10), Ip(255, 255, 255, 254), Ip(192, 168, 2, 11), "子网掩码无效"},
        {Ip(224, 0, 0, 1), Ip(255, 255, 255, 0), Ip(224, 0, 0, 254), "开始IP地址无效"},
        {Ip(127, 0, 0, 5), Ip(255, 255, 255, 0), Ip(127, 0, 0, 1), "开始IP地址无效"},
        {Ip(192, 168, 2, 255), Ip(255, 255, 255, 0), Ip(192, 168, 2, 1), "开始IP地址无效"},
        {Ip(192, 168, 2, 10), Ip(255, 255, 255, 0), Ip(192, 168, 2, 0), "默认网关无效"},
        {Ip(192, 168, 2, 10), Ip(255, 255, 255, 0), Ip(192, 168, 3, 1), "不在同一网段"},
    };
    asked.clear();
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.said);
        const std::size_t toldBefore = told.size();
        bool stayedOpen = false;
        std::uint32_t kept = 0;
        AnswerNextDialog([&](wxDialog& dialog) {
            auto* start = wxDynamicCast(dialog.FindWindow(ids::kStartIP), CIPAddressCtrl);
            start->SetAddress(r.start);
            wxDynamicCast(dialog.FindWindow(ids::kSubnetMask), CIPAddressCtrl)->SetAddress(r.mask);
            wxDynamicCast(dialog.FindWindow(ids::kGateway), CIPAddressCtrl)->SetAddress(r.gateway);
            PressDialogButton(dialog, wxID_OK);
            stayedOpen = dialog.IsModal();
            kept = start->GetAddress();
            PressDialogButton(dialog, wxID_CANCEL);
        });
        Press(ids::kAutoAssignIP);
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(kept, r.start);
        ASSERT_EQ(told.size(), toldBefore + 1);
        EXPECT_NE(told.back().Find(wxString::FromUTF8(r.said)), wxNOT_FOUND) << told.back();
    }
    EXPECT_TRUE(asked.empty());
    // A motor start sent now reaches the camera after anything sent before
    // (once the confirming search has the rows back).
    ASSERT_TRUE(PumpUntil(
        [&] { return !window->ConfirmingAddresses() && window->DeviceList().GetItemCount() > 0; },
        20s));
    SelectRows({0});
    Press(ids::kMotorStart);
    ReceivedAtLeast(2, cameras[0], 106);
    EXPECT_EQ(Received(cameras[0], 102, "multicast").size(), 6u);
}

// Five devices whose probes take 300 ms each, all under way at once, the
// third never settling before the cancel: the progress dialog shows, the
// window repaints during the run, and a cancel while the probes are under
// way sends nothing; every device is named as not done.
TEST_F(OperationsWindowTest, LongAssignmentShowsProgressAndACancelDuringItsProbesSendsNothing) {
    LAB_REQUIRE_ROOT();
    OpenWithCameraRun(5);
    auto owned = std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, nullptr, 300ms);
    ScriptedArpProbe& probe = *owned;
    // The third device's candidate settles only once the cancel was pressed.
    std::atomic<bool> cancelled{false};
    probe.SetOnCall([&](std::uint32_t address) {
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (address == Ip(192, 168, 2, 52) && !cancelled &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(5ms);
    });
    window->SetArpProbe(std::move(owned));
    SetSelectAll(true);

    wxWindow& rows = RowsWindow(window->DeviceList());
    int paintsDuringRun = 0;
    bool sawProgress = false;
    auto countPaint = [&](wxPaintEvent& event) {
        event.Skip();
        if (probe.Calls() > 0 && FindProgressDialog()) ++paintsDuringRun;
    };
    rows.Bind(wxEVT_PAINT, countPaint);
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        rows.Refresh();
        auto* progress = dynamic_cast<wxGenericProgressDialog*>(FindProgressDialog());
        if (!progress) return;
        sawProgress = true;
        if (!cancelled && probe.Calls() == 5) {
            PressDialogButton(*progress, wxID_CANCEL);
            cancelled = true;
        }
    });
    timer.Start(50);
    RunAddressDialog(wxID_OK, Ip(192, 168, 2, 50));
    timer.Stop();
    rows.Unbind(wxEVT_PAINT, countPaint);

    EXPECT_TRUE(sawProgress);
    EXPECT_GT(paintsDuringRun, 0);
    EXPECT_EQ(FindProgressDialog(), nullptr);
    EXPECT_EQ(probe.Calls(), 5);  // in one wave, each candidate once
    EXPECT_TRUE(AddressesSent().empty());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].StartsWith(wxString::FromUTF8("5 台设备因取消而未处理"))) << told[0];
    for (long row = 0; row < 5; ++row) EXPECT_NE(told[0].Find(Cell(row, 1)), wxNOT_FOUND);
}

// A quick batch shows no progress dialog at all.
TEST_F(OperationsWindowTest, QuickBatchShowsNoProgress) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    SelectRows({0});
    bool sawProgress = false;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER,
               [&](wxTimerEvent&) { sawProgress = sawProgress || FindProgressDialog(); });
    timer.Start(20);
    Press(ids::kMotorStart);
    // Both copies on the wire: the batch is over, and the timer ran meanwhile.
    EXPECT_EQ(ReceivedAtLeast(2, cameras[0], 106).size(), 2u);
    timer.Stop();
    EXPECT_FALSE(sawProgress);
    EXPECT_TRUE(told.empty());
}

// A periodic search that falls due while the model dialog is open waits
// until the handler has sent its commands, then runs.
TEST_F(OperationsWindowTest, PeriodicSearchWaitsForTheOpenDialog) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras({"SN-A", "SN-B", "SN-C"}, false, 800ms);
    SelectRows({0, 1, 2});
    std::vector<wxString> macs;
    for (long row = 0; row < 3; ++row) macs.push_back(Cell(row, 4));
    // The dialog opens between two searches: the rounds of the one under way
    // would go on beside it.
    ASSERT_TRUE(PumpUntil([&] { return !window->SearchGoingOut(); }, 10s));
    double dialogOpened = 0;
    AnswerNextDialog([&](wxDialog& dialog) {
        // A search that began before the dialog may still be going out.
        EXPECT_TRUE(PumpUntil([&] { return !window->SearchGoingOut(); }, 10s));
        dialogOpened = wxGetUTCTimeMillis().ToDouble() / 1000;
        // A periodic search falls due meanwhile and is held.
        EXPECT_TRUE(PumpUntil([&] { return window->PeriodicSearchHeld(); }, 10s));
        wxDynamicCast(dialog.FindWindow(ids::kModelCombo), wxComboBox)->SetValue("ZR420");
        PressDialogButton(dialog, wxID_OK);
    });
    Press(ids::kChangeModel);
    ASSERT_GT(dialogOpened, 0);

    const auto commands = ReceivedAtLeast(3, cameras[0], 105, "multicast");
    ASSERT_EQ(commands.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(MacAt(commands[i].bytes), macs[i]);
    auto searchesAfter = [](const std::vector<lab::LoggedDatagram>& searches, double from) {
        int n = 0;
        for (const auto& d : searches) n += d.time > from ? 1 : 0;
        return n;
    };
    // None while the handler ran (the held one may be out by now: the wait
    // for the commands handled events). Both counts from one read of the
    // log, or the held search could come between them.
    const auto searches = Received(cameras[0], 100, "multicast");
    EXPECT_EQ(searchesAfter(searches, dialogOpened) - searchesAfter(searches, commands.back().time),
              0);
    EXPECT_TRUE(PumpUntil(
        [&] {
            return searchesAfter(Received(cameras[0], 100, "multicast"), commands.back().time) > 0;
        },
        3s));
}

// A template that can't be loaded is said; nothing is probed or sent.
TEST_F(OperationsWindowTest, MissingDialogTemplateIsSaid) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    SetSelectAll(true);
    const wxString templateFile = "memory:vimbrel/modify_ip_dlg.xrc";
    ASSERT_TRUE(wxXmlResource::Get()->Unload(templateFile));
    Press(ids::kAutoAssignIP);
    wxXmlResource::Get()->Load(templateFile);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], wxString::FromUTF8("无法加载对话框资源，操作未执行。请重新安装程序。"));
    // A reboot sent afterwards reaches the camera after anything sent before.
    Press(ids::kReboot);
    ReceivedAtLeast(6, cameras[0], 103);
    EXPECT_TRUE(Received(cameras[0], 102).empty());
}

TEST_F(OperationsWindowTest, ModelChangeTakesOnlyAnExactName) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    SelectRows({0, 1});
    const std::vector<const char*> refused{"zr420-2", "ZR420-3", "", " ZR420"};
    for (const char* name : refused) ChooseModel(name);
    // Each refused name is said, and nothing is sent for it.
    ASSERT_EQ(told.size(), refused.size());
    for (std::size_t i = 0; i < refused.size(); ++i)
        EXPECT_EQ(told[i], wxString::FromUTF8("不是已知的产品型号：") + refused[i]);
    EXPECT_TRUE(Received(cameras[0], 105).empty());
    ChooseModel("ZR420-2");
    ChooseModel("ZR420");
    const auto packets = ReceivedAtLeast(4, cameras[0], 105, "multicast");
    ASSERT_EQ(packets.size(), 4u);  // two rows, two names
    std::vector<std::uint8_t> field(32, 0);
    std::memcpy(field.data(), "ZR420-2", 7);
    EXPECT_EQ(FieldAt(packets[0].bytes, kModelOffset), field);
    EXPECT_EQ(MacAt(packets[0].bytes), Cell(0, 4));
    EXPECT_EQ(MacAt(packets[1].bytes), Cell(1, 4));
    EXPECT_EQ(TextAt(packets[2].bytes, kModelOffset), "ZR420");

    // The devices report the new model at the next search.
    Press(ids::kSearch);
    WaitForRows(3);
    EXPECT_EQ(Cell(RowOfSerial("SN-A"), 2), "ZR420");
}

TEST_F(OperationsWindowTest, OnlyAMouseDoubleClickOpensAValidPageAddress) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    lab::CameraConfig c;  // 192.168.2.10, port 80
    net.AddCamera(0, c);
    c.serial = "SN0002";
    c.ip = "192.168.2.11";
    c.mac = "00:1A:2B:3C:4D:02";
    c.port = 0;  // no page
    net.AddCamera(0, c);
    OpenWindow();
    WaitForRows(2);
    std::vector<wxString> opened;
    window->SetPageOpener([&](const wxString& address) {
        opened.push_back(address);
        return true;
    });
    auto& list = window->DeviceList();
    SortBy(column::kAddress);
    SortBy(column::kAddress);  // descending: the row with no page first
    ASSERT_EQ(Cell(0, column::kAddress), "192.168.2.11");
    wxWindow& rows = RowsWindow(list);

    // Enter on a focused row with a page, and the activation it makes:
    // nothing opens.
    list.SetFocus();
    list.SetItemState(1, wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED,
                      wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED);
    wxKeyEvent enter(wxEVT_KEY_DOWN);
    enter.m_keyCode = WXK_RETURN;
    enter.SetEventObject(&rows);
    rows.GetEventHandler()->ProcessEvent(enter);
    wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, ids::kDeviceList);
    activated.m_itemIndex = 1;
    window->GetEventHandler()->ProcessEvent(activated);
    EXPECT_TRUE(opened.empty());

    // Double clicks on each row and below the last one.
    auto doubleClickAt = [&](const wxPoint& point) {
        wxMouseEvent click(wxEVT_LEFT_DCLICK);
        click.SetPosition(point);
        click.SetEventObject(&rows);
        rows.GetEventHandler()->ProcessEvent(click);
    };
    // The rows' window starts below the header: its first row at its top.
    wxRect first;
    ASSERT_TRUE(list.GetItemRect(0, first));
    auto doubleClickRow = [&](long row) {
        wxRect rect;
        ASSERT_TRUE(list.GetItemRect(row, rect));
        const wxPoint point(20, rect.y - first.y + rect.height / 2);
        int flags = 0;
        ASSERT_EQ(list.HitTest(point, flags), row);
        doubleClickAt(point);
    };
    doubleClickRow(0);
    doubleClickRow(1);
    doubleClickAt(wxPoint(20, rows.GetClientSize().y - 2));
    EXPECT_EQ(opened, std::vector<wxString>{"http://192.168.2.10:80"});
    EXPECT_TRUE(told.empty());

    // A browser that can't be started: said, with the address.
    window->SetPageOpener([](const wxString&) { return false; });
    doubleClickRow(1);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], wxString::FromUTF8("无法打开网页 http://192.168.2.10:80"));
}

// A factory reset asks first, naming how many rows it would reset: No
// sends nothing, Yes sends to every selected row. Reboot asks nothing.
TEST_F(OperationsWindowTest, FactoryResetAsksFirstAndNoSendsNothing) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    SelectRows({0, 2});
    answerYes = false;
    Press(ids::kFactoryReset);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0],
              wxString::FromUTF8("确定要将选中的 2 台设备恢复出厂设置吗？此操作不可撤销。"));

    answerYes = true;
    Press(ids::kFactoryReset);
    ASSERT_EQ(asked.size(), 2u);
    // Two rows, two copies each, and nothing before them from the No.
    for (int camera : cameras) EXPECT_EQ(ReceivedAtLeast(4, camera, 104).size(), 4u);
    const auto packets = Received(cameras[0], 104, "multicast");
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(TextAt(packets[0].bytes, kSerialOffset), Cell(0, 1));
    EXPECT_EQ(TextAt(packets[1].bytes, kSerialOffset), Cell(2, 1));

    Press(ids::kReboot);
    ReceivedAtLeast(2, cameras[0], 103, "multicast");
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_TRUE(told.empty());
}

// After the assignment the window searches again by itself: the list shows
// the new addresses without a click on "搜索", and nothing is said when
// every camera answers from its new address.
TEST_F(OperationsWindowTest, AssignmentIsConfirmedByASearchOfItsOwn) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras({"SN-A", "SN-B", "SN-C"}, true);
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, nullptr));
    SetSelectAll(true);
    std::vector<wxString> macs;
    for (long row = 0; row < 3; ++row) macs.push_back(Cell(row, 4));
    RunAddressDialog(wxID_OK, Ip(192, 168, 2, 50));
    EXPECT_TRUE(window->ConfirmingAddresses());
    auto moved = [&] {
        int found = 0;
        for (long row = 0; row < window->DeviceList().GetItemCount(); ++row)
            for (std::size_t i = 0; i < 3; ++i)
                if (Cell(row, 4) == macs[i] &&
                    Cell(row, 3) == wxString::Format("192.168.2.%zu", 50 + i))
                    ++found;
        return found == 3;
    };
    EXPECT_TRUE(PumpUntil(moved, 10s));
    EXPECT_TRUE(PumpUntil([&] { return !window->ConfirmingAddresses(); }, 10s));
    EXPECT_TRUE(told.empty()) << told[0];
}

// A device that does not answer from its new address in time is named,
// and only it; the window searched again every few seconds meanwhile.
TEST_F(OperationsWindowTest, ADeviceThatDoesNotAnswerFromItsNewAddressIsNamed) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    int searches = 0;
    const TellUser tell = [&](const wxString& text) { told.push_back(text); };
    constexpr auto kConfirmFor = 3500ms;  // a search at 0 and at 3 s
    AddressConfirmation confirmation(
        window->Session(),
        [&] {
            ++searches;
            window->OnSearch();
        },
        tell, kConfirmFor);
    const auto start = std::chrono::steady_clock::now();
    const TableRow& a = window->Session().Table().Rows().at(0);
    TableRow gone;
    gone.device.serial = L"SN-GONE";
    gone.device.mac = L"00:1A:2B:3C:4D:99";
    confirmation.Start({{a, *protocol::ParseMacText(platform::ToUtf8(a.device.mac)),
                         *platform::ParseIPv4(platform::ToUtf8(a.device.ip))},
                        {gone, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x99}, test::Ip(192, 168, 2, 99)}});
    ASSERT_TRUE(PumpUntil([&] { return !told.empty(); }, 20s));
    EXPECT_GE(std::chrono::steady_clock::now() - start, kConfirmFor);
    EXPECT_FALSE(confirmation.Running());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], wxString::FromUTF8("1 台设备未在新地址上应答：SN-GONE"));
    EXPECT_GE(searches, 2);
}

// Every command button on the wire, pressed by its label: its code as the
// four bytes at offset 0, the selected device named at its offset (the
// serial number at 248, zero-filled to 280, or the MAC at 20) and nothing at
// the other's; exactly one multicast and then one broadcast copy per
// command. A swap of two codes or of two buttons' handlers fails here.
TEST_F(OperationsWindowTest, EveryButtonSendsItsCodeNamingTheSelectedDevice) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, nullptr));
    const auto pressLabelled = [&](const char* label) {
        for (wxWindow* child : window->GetChildren())
            if (auto* button = wxDynamicCast(child, wxButton);
                button && button->GetLabel() == wxString::FromUTF8(label)) {
                Press(button->GetId());
                return;
            }
        ADD_FAILURE() << "no button " << label;
    };
    struct Case {
        const char* label;
        std::uint8_t code;
        const char* event;  // what SN-B's simulator did
    };
    const Case cases[] = {
        {"恢复出厂", 104, "SN-B factory-reset 192.168.2.22/24"},
        {"开启马达", 106, "SN-B motor-start"},
        {"停止马达", 107, "SN-B motor-stop"},
        {"修改产品型号", 105, "SN-B set-model"},
        {"自动分配IP", 102, "SN-B set-network 192.168.2.60/24"},
        {"重启", 103, "SN-B reboot"},  // last: it goes silent
    };
    std::size_t before = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        // The list is whole again (the address assignment searches anew).
        ASSERT_TRUE(PumpUntil(
            [&] { return !window->ConfirmingAddresses() && RowOfSerial("SN-B") != -1; }, 10s));
        SelectRows({RowOfSerial("SN-B")});
        if (c.code == 105) {
            AnswerNextDialog([](wxDialog& dialog) {
                wxDynamicCast(dialog.FindWindow(ids::kModelCombo), wxComboBox)->SetValue("ZR420-2");
                PressDialogButton(dialog, wxID_OK);
            });
        } else if (c.code == 102) {
            AnswerNextDialog([](wxDialog& dialog) {
                wxDynamicCast(dialog.FindWindow(ids::kStartIP), CIPAddressCtrl)
                    ->SetAddress(Ip(192, 168, 2, 60));
                PressDialogButton(dialog, wxID_OK);
            });
        }
        pressLabelled(c.label);
        EXPECT_TRUE(PumpUntil([&] { return HasEvent(net, cameras[1], c.event); }, 10s));
        std::vector<lab::LoggedDatagram> sent;
        PumpUntil([&] { return (sent = CommandsReceived(net, cameras[1])).size() >= before + 2; },
                  5s);
        ASSERT_EQ(sent.size(), before + 2) << "one command, two copies";
        const auto& multicast = sent[before];
        const auto& broadcast = sent[before + 1];
        before = sent.size();
        ExpectCommandCopies(
            multicast, broadcast,
            {c.code, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x02}, "SN-B", "ZR420-2", "192.168.2.60"});
    }
    EXPECT_TRUE(told.empty()) << told[0];
}

}  // namespace
}  // namespace vimbrel::test
