// The search after "自动分配IP" on a camera that keeps its old address: the
// window names it, and only it, once the confirmation's time is up.
#include <chrono>

#include "controls_ui/ip_address_ctrl.h"
#include "tests/support/addresses.h"
#include "tests/support/camera_log.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

TEST_F(WindowTest, ACameraThatKeepsItsOldAddressIsNamedAfterTheConfirmation) {
    LAB_REQUIRE_ROOT();
    const int link = net.AddLink("192.168.2.100/24");
    lab::CameraConfig moves;
    moves.serial = "SN-A";
    moves.ip = "192.168.2.21";
    const int a = net.AddCamera(link, moves);
    lab::CameraConfig stays;
    stays.serial = "SN-B";
    stays.ip = "192.168.2.22";
    stays.mac = "00:1A:2B:3C:4D:02";
    stays.extraArgs = {"--ignore", "set-network"};
    const int b = net.AddCamera(link, stays);
    confirmTime = 6s;  // two searches: at the start and 3 s later
    OpenWindow();
    WaitForRows(2);
    // The first search's later rounds out of the way: the confirmation's
    // first search is one of its own.
    ASSERT_TRUE(PumpUntil([&] { return !window->SearchGoingOut(); }, 10s));
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, nullptr));

    SetSelectAll(true);
    AnswerNextDialog([](wxDialog& dialog) {
        wxDynamicCast(dialog.FindWindow(ids::kStartIP), CIPAddressCtrl)
            ->SetAddress(Ip(192, 168, 2, 50));
        PressDialogButton(dialog, wxID_OK);
    });
    const auto start = std::chrono::steady_clock::now();
    Press(ids::kAutoAssignIP);
    ASSERT_TRUE(PumpUntil([&] { return !told.empty(); }, 20s));

    // Both got their command: one moved, the other logged it and stayed.
    EXPECT_NE(EventStartingWith(net, a, "SN-A set-network 192.168.2.5"), "");
    EXPECT_NE(EventStartingWith(net, b, "SN-B ignored set-network 192.168.2.5"), "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, confirmTime) << "said before its time";
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], wxString::FromUTF8("1 台设备未在新地址上应答：SN-B"));
    EXPECT_FALSE(window->ConfirmingAddresses());
    // The list shows what answered: SN-B where it was.
    EXPECT_TRUE(PumpUntil([&] { return RowOfSerial("SN-B") != -1; }, 10s));
    EXPECT_EQ(Cell(RowOfSerial("SN-B"), 3), "192.168.2.22");
}

}  // namespace
}  // namespace vimbrel::test
