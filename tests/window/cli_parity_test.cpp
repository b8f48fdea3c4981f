// The window and vimbrel-cli send the same bytes for the same camera: one
// table of the six commands, each given once from the window (row selected,
// button pressed, dialog answered) and once from the command line, both
// caught by the same simulated camera.
#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <wx/combobox.h>

#include "cli/cli_app.h"
#include "controls_ui/ip_address_ctrl.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

// No host answers any candidate; safe from any thread.
class NobodyAnswers : public platform::ArpProbe {
public:
    bool HostAnswers(std::uint32_t) override { return false; }
};

struct CommandCase {
    const char* name;
    std::int32_t code;
    int button;  // of the main window
    std::vector<std::string> cli;  // without the target
    std::function<void(wxDialog&)> answerDialog;  // none for the plain commands
};

void ChooseModel(wxDialog& dialog) {
    wxDynamicCast(dialog.FindWindow(1011), wxComboBox)->SetValue("ZR4500-1");
    PressDialogButton(dialog, wxID_OK);
}

void EnterAddresses(wxDialog& dialog) {
    wxDynamicCast(dialog.FindWindow(1008), CIPAddressCtrl)->SetAddress(0xC0A80228);  // .40
    wxDynamicCast(dialog.FindWindow(1009), CIPAddressCtrl)->SetAddress(0xFFFFFF00);
    wxDynamicCast(dialog.FindWindow(1010), CIPAddressCtrl)->SetAddress(0xC0A80201);
    PressDialogButton(dialog, wxID_OK);
}

// In this order: the address change moves the camera and the factory reset
// moves it back; each command line searches first and finds it by MAC.
const CommandCase kCases[] = {
    {"motor-start", 106, 1013, {"motor-start"}, nullptr},
    {"motor-stop", 107, 1014, {"motor-stop"}, nullptr},
    {"set-model", 105, 1012, {"set-model", "ZR4500-1"}, ChooseModel},
    {"assign-ip",
     102,
     1006,
     {"assign-ip", "--start", "192.168.2.40", "--mask", "255.255.255.0", "--gateway",
      "192.168.2.1"},
     EnterAddresses},
    {"factory-reset", 104, 1009, {"factory-reset"}, nullptr},
    {"reboot", 103, 1008, {"reboot"}, nullptr},
};

TEST_F(WindowTest, CommandLineSendsTheWindowsBytesForTheSameRow) {
    LAB_REQUIRE_ROOT();
    lab::CameraConfig config;
    config.serial = "SN-甲7";  // GBK in the packet, from the row's text both ways
    config.mac = "00:1A:2B:3C:4D:5E";
    config.extraArgs = {"--reboot-seconds", "0"};  // answers the search right after the reboot
    const int camera = net.AddCamera(net.AddLink("192.168.2.100/24"), config);
    OpenWindow();
    WaitForRows(1);
    window->SetArpProbe(std::make_unique<NobodyAnswers>());
    NobodyAnswers cliProbe;

    for (const CommandCase& c : kCases) {
        SCOPED_TRACE(c.name);
        auto sent = [&] { return Received(camera, c.code, "multicast"); };

        SelectRows({0});
        if (c.answerDialog) AnswerNextDialog(c.answerDialog);
        Press(c.button);
        ASSERT_TRUE(PumpUntil([&] { return sent().size() == 1; }, 5s));
        const std::vector<std::uint8_t> fromWindow = sent()[0].bytes;

        std::vector<std::string> args = c.cli;
        for (const char* more : {"--mac", "00:1a:2b:3c:4d:5e", "--wait", "0.5"})
            args.push_back(more);
        std::ostringstream out, err;
        lab::RequirePrivateNetwork();
        EXPECT_EQ(cli::RunCli(args, out, err, &cliProbe), 0) << err.str();
        ASSERT_TRUE(PumpUntil([&] { return sent().size() == 2; }, 5s));
        EXPECT_EQ(sent()[1].bytes, fromWindow);
        // The window's own search after its address change has the row again.
        ASSERT_TRUE(PumpUntil([&] { return !window->ConfirmingAddresses(); }, 20s));
        WaitForRows(1);

        // The identity both carried, pinned here rather than through the code.
        ASSERT_EQ(fromWindow.size(), 344u);
        EXPECT_EQ(fromWindow[0], c.code);
        const std::vector<std::uint8_t> mac(fromWindow.begin() + 20, fromWindow.begin() + 26);
        const std::vector<std::uint8_t> serial(fromWindow.begin() + 248, fromWindow.begin() + 255);
        if (c.code == 102 || c.code == 105) {
            EXPECT_EQ(mac, (std::vector<std::uint8_t>{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
        } else {
            // "SN-" and 甲 (BC D7 in GBK), "7", then zeros.
            EXPECT_EQ(serial, (std::vector<std::uint8_t>{'S', 'N', '-', 0xBC, 0xD7, '7', 0}));
        }
    }
}

}  // namespace
}  // namespace vimbrel::test
