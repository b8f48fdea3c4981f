// The device operations from the main window on simulated cameras: batch
// commands, select-all and clicks, address assignment, model change and the
// web page.
#include <chrono>
#include <cstring>

#include <wx/combobox.h>

#include "controls/ip_address_ctrl.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t Ip(int a, int b, int c, int d) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(b) << 16) | (std::uint32_t(c) << 8) | std::uint32_t(d);
}

std::string TextAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(&bytes[offset]));
}

// target_mac (bytes 20..25) as the list writes it.
wxString MacAt(const std::vector<std::uint8_t>& b) {
    return wxString::Format("%02X:%02X:%02X:%02X:%02X:%02X", b[20], b[21], b[22], b[23], b[24], b[25]);
}

class OperationsWindowTest : public WindowTest {
protected:
    // Three cameras: two on the first link and one on the second, or all
    // three on the first.
    void OpenWithCameras(const std::vector<std::string>& serials = {"SN-A", "SN-B", "SN-C"},
                         bool allOnFirstLink = false) {
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
        OpenWindow();
        WaitForRows(3);
    }

    void RunAddressDialog(int button, std::uint32_t start = Ip(192, 168, 2, 10)) {
        AnswerNextDialog([=](wxDialog& dialog) {
            wxDynamicCast(dialog.FindWindow(ids::kStartIP), CIPAddressCtrl)->SetAddress(start);
            PressDialogButton(dialog, button);
        });
        Press(ids::kAutoAssignIP);
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
    PumpFor(200ms);
    for (int camera : cameras) {
        const auto packets = Received(camera, 103);
        // Each command reached the camera by multicast, then by broadcast,
        // through the socket of its link, in list order.
        ASSERT_EQ(packets.size(), 6u) << "camera " << camera;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(packets[2 * i].kind, "multicast");
            EXPECT_EQ(packets[2 * i + 1].kind, "broadcast");
            EXPECT_EQ(packets[2 * i].bytes.size(), 344u);
            EXPECT_EQ(packets[2 * i].bytes, packets[2 * i + 1].bytes);
            EXPECT_EQ(TextAt(packets[2 * i].bytes, 248), Cell(long(i), 1));
        }
    }
}

TEST_F(OperationsWindowTest, SerialOfThirtyCharactersIsSentAndThirtyOneIsNot) {
    LAB_REQUIRE_ROOT();
    const std::string thirty(30, 'S'), thirtyOne(31, 'T');
    OpenWithCameras({thirty, thirtyOne, "SN-C"});
    SelectRows({RowOfSerial(thirty), RowOfSerial(thirtyOne)});
    Press(ids::kReboot);
    PumpFor(200ms);
    const auto packets = Received(cameras[0], 103);
    ASSERT_EQ(packets.size(), 4u);
    std::vector<std::uint8_t> sentThirty(32, 0), zeros(32, 0);
    std::memcpy(sentThirty.data(), thirty.data(), 30);
    const std::size_t first = RowOfSerial(thirty) < RowOfSerial(thirtyOne) ? 0 : 2;
    auto serialOf = [&](std::size_t i) {
        return std::vector<std::uint8_t>(packets[i].bytes.begin() + 248, packets[i].bytes.begin() + 280);
    };
    EXPECT_EQ(serialOf(first), sentThirty);
    EXPECT_EQ(serialOf(2 - first), zeros);
}

TEST_F(OperationsWindowTest, SelectAllAndClicksDriveTheButtons) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    const int camera = net.AddCamera(0, lab::CameraConfig{});
    OpenWindow();
    WaitForRows(1);
    Press(ids::kSearch);  // the list is empty until the reply comes back
    ASSERT_EQ(window->DeviceList().GetItemCount(), 0);
    SetSelectAll(true);
    EXPECT_EQ(EnabledCommandButtons(), 7);
    Press(ids::kReboot);  // nothing selected: nothing sent
    PumpFor(300ms);
    EXPECT_TRUE(Received(camera, 103).empty());

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
        const auto packets = Received(camera, 102, "multicast");
        ASSERT_EQ(packets.size(), 3u) << "camera " << camera;
        for (std::size_t i = 0; i < 3; ++i) {
            const auto& b = packets[i].bytes;
            EXPECT_EQ(MacAt(b), macs[i]);
            EXPECT_EQ(TextAt(b, 56), given[i]);
            EXPECT_EQ(TextAt(b, 88), "255.255.255.0");
            EXPECT_EQ(TextAt(b, 120), "192.168.2.1");
            EXPECT_EQ(TextAt(b, 152), "192.168.2.1");
            EXPECT_EQ(TextAt(b, 184), "0.0.0.0");
        }
    }

    // The cameras moved: the next search shows their new addresses.
    Press(ids::kSearch);
    WaitForRows(3);
    for (long row = 0; row < 3; ++row)
        for (int i = 0; i < 3; ++i)
            if (Cell(row, 4) == macs[i]) {
                EXPECT_EQ(Cell(row, 3), given[i]);
            }
}

TEST_F(OperationsWindowTest, CounterEndsAtTheLastOctetAndCancelSendsNothing) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    std::vector<std::uint32_t> asked, taken;
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, &asked));
    SetSelectAll(true);
    RunAddressDialog(wxID_OK, Ip(192, 168, 2, 254));  // .254; .255 is the broadcast address
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{Ip(192, 168, 2, 254)}));
    std::vector<std::string> sent;
    for (const auto& p : Received(cameras[0], 102, "multicast")) sent.push_back(TextAt(p.bytes, 56));
    EXPECT_EQ(sent, (std::vector<std::string>{"192.168.2.254"}));

    for (int d = 250; d <= 255; ++d) taken.push_back(Ip(192, 168, 2, d));
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(taken, &asked));
    asked.clear();
    RunAddressDialog(wxID_OK, Ip(192, 168, 2, 250));  // every candidate answers
    taken.pop_back();  // .255 is never probed
    EXPECT_EQ(asked, taken);
    asked.clear();
    RunAddressDialog(wxID_CANCEL);
    EXPECT_TRUE(asked.empty());
    PumpFor(200ms);
    EXPECT_EQ(Received(cameras[0], 102, "multicast").size(), 1u);
}

TEST_F(OperationsWindowTest, ModelChangeTakesOnlyAnExactName) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    SelectRows({0, 1});
    for (const char* refused : {"zr420-2", "ZR420-3", "", " ZR420"}) ChooseModel(refused);
    ChooseModel("ZR420-2");
    ChooseModel("ZR420");
    PumpFor(200ms);
    const auto packets = Received(cameras[0], 105, "multicast");
    ASSERT_EQ(packets.size(), 4u);  // two rows, two names
    std::vector<std::uint8_t> field(32, 0);
    std::memcpy(field.data(), "ZR420-2", 7);
    EXPECT_EQ(std::vector<std::uint8_t>(packets[0].bytes.begin() + 216, packets[0].bytes.begin() + 248), field);
    EXPECT_EQ(MacAt(packets[0].bytes), Cell(0, 4));
    EXPECT_EQ(MacAt(packets[1].bytes), Cell(1, 4));
    EXPECT_EQ(TextAt(packets[2].bytes, 216), "ZR420");

    // The devices report the new model at the next search.
    Press(ids::kSearch);
    WaitForRows(3);
    EXPECT_EQ(Cell(RowOfSerial("SN-A"), 2), "ZR420");
}

TEST_F(OperationsWindowTest, DoubleClickOpensOnlyAValidPageAddress) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    net.AddCamera(0, lab::CameraConfig{});  // 192.168.2.10, port 80
    OpenWindow();
    WaitForRows(1);
    std::vector<wxString> opened;
    window->SetPageOpener([&](const wxString& address) {
        opened.push_back(address);
        return true;
    });
    auto& list = window->DeviceList();
    list.AddItem({"2", "X", "ZR410", "192.168.2.10 --new-window", "02:00:00:00:00:09", "80", "V1", "ok"});
    list.AddItem({"3", "Y", "ZR410", "192.168.2.11", "02:00:00:00:00:0A", "0", "V1", "ok"});
    for (long row : {0L, -1L, 1L, 2L}) {
        wxListEvent event(wxEVT_LIST_ITEM_ACTIVATED, ids::kDeviceList);
        event.m_itemIndex = row;
        window->GetEventHandler()->ProcessEvent(event);
    }
    EXPECT_EQ(opened, std::vector<wxString>{"http://192.168.2.10:80"});
}

}  // namespace
}  // namespace vimbrel::test
