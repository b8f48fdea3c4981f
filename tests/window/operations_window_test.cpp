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

class OperationsWindowTest : public WindowTest {
protected:
    // Three cameras, two on the first link and one on the second, or all
    // three on the first.
    void OpenWithCameras(const std::vector<std::string>& serials = {"SN-A", "SN-B", "SN-C"},
                         bool allOnFirstLink = false) {
        link1 = net.AddLink("192.168.2.100/24");
        link2 = net.AddLink("192.168.3.100/24");
        lab::CameraConfig c;
        const char* ips[] = {"192.168.2.21", "192.168.2.22", allOnFirstLink ? "192.168.2.23" : "192.168.3.23"};
        for (int i = 0; i < 3; ++i) {
            c.serial = serials[i];
            c.ip = ips[i];
            c.mac = "00:1A:2B:3C:4D:0" + std::to_string(i + 1);
            cameras.push_back(net.AddCamera(i < 2 || allOnFirstLink ? link1 : link2, c));
        }
        OpenWindow();
        WaitForRows(3);
    }

    void AcceptNetworkDialog(std::uint32_t start) {
        AnswerNextDialog([start](wxDialog& dialog) {
            wxDynamicCast(dialog.FindWindow(1008), CIPAddressCtrl)->SetAddress(start);
            PressDialogButton(dialog, wxID_OK);
        });
    }

    void ChooseModel(const wxString& text) {
        AnswerNextDialog([text](wxDialog& dialog) {
            wxDynamicCast(dialog.FindWindow(1011), wxComboBox)->SetValue(text);
            PressDialogButton(dialog, wxID_OK);
        });
        Press(1012);
    }

    int link1 = 0, link2 = 0;
    std::vector<int> cameras;
};

TEST_F(OperationsWindowTest, RebootSendsOnePacketPerSelectedRowOnEverySocket) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    SelectRows({0, 1, 2});
    ASSERT_TRUE(AllCommandButtonsEnabled());
    Press(1008);
    PumpFor(200ms);

    std::vector<std::string> listOrder;
    for (long row = 0; row < 3; ++row) listOrder.push_back(Cell(row, 1).ToStdString());
    for (int camera : cameras) {
        const auto packets = Received(camera, 103);
        // Each of the three commands reached this camera by multicast and by
        // broadcast through the socket of its link.
        ASSERT_EQ(packets.size(), 6u) << "camera " << camera;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(packets[2 * i].kind, "multicast");
            EXPECT_EQ(packets[2 * i + 1].kind, "broadcast");
            EXPECT_EQ(packets[2 * i].bytes.size(), 344u);
            EXPECT_EQ(TextAt(packets[2 * i].bytes, 248), listOrder[i]);
            EXPECT_EQ(packets[2 * i].bytes, packets[2 * i + 1].bytes);
        }
    }
}

TEST_F(OperationsWindowTest, SerialOfThirtyCharactersIsSentAndThirtyOneIsNot) {
    LAB_REQUIRE_ROOT();
    const std::string thirty(30, 'S'), thirtyOne(31, 'T');
    OpenWithCameras({thirty, thirtyOne, "SN-C"});
    SelectRows({RowOfSerial(thirty), RowOfSerial(thirtyOne)});
    Press(1008);
    PumpFor(200ms);
    const auto packets = Received(cameras[0], 103);
    ASSERT_EQ(packets.size(), 4u);
    std::vector<std::vector<std::uint8_t>> serials;
    for (const auto& p : packets) serials.emplace_back(p.bytes.begin() + 248, p.bytes.begin() + 280);
    std::vector<std::uint8_t> expectedThirty(32, 0), zeros(32, 0);
    std::memcpy(expectedThirty.data(), thirty.data(), 30);
    const bool thirtyFirst = RowOfSerial(thirty) < RowOfSerial(thirtyOne);
    EXPECT_EQ(serials[thirtyFirst ? 0 : 2], expectedThirty);
    EXPECT_EQ(serials[thirtyFirst ? 2 : 0], zeros);
}

TEST_F(OperationsWindowTest, SelectAllAndClicksDriveTheButtons) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    lab::CameraConfig c;
    c.ip = "192.168.2.21";
    const int camera = net.AddCamera(0, c);
    OpenWindow();
    WaitForRows(1);
    Press(1005);  // the list is empty until the reply comes back
    ASSERT_EQ(window->DeviceList().GetItemCount(), 0);
    SetSelectAll(true);
    EXPECT_TRUE(AllCommandButtonsEnabled());
    Press(1008);  // nothing selected: nothing sent
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
    EXPECT_FALSE(AnyCommandButtonEnabled());

    SelectRows({0});
    EXPECT_TRUE(AllCommandButtonsEnabled());
    SelectRows({});
    EXPECT_FALSE(AnyCommandButtonEnabled());
}

TEST_F(OperationsWindowTest, AssignsFreeAddressesProbedOnTheWire) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras({"SN-A", "SN-B", "SN-C"}, true);
    net.AddHost(link1, "192.168.2.10/24");
    net.AddHost(link1, "192.168.2.12/24");
    SetSelectAll(true);
    std::vector<std::string> macs;
    for (long row = 0; row < 3; ++row) macs.push_back(Cell(row, 4).ToStdString());

    AnswerNextDialog([](wxDialog& dialog) { PressDialogButton(dialog, wxID_OK); });  // defaults
    Press(1006);

    const char* given[] = {"192.168.2.11", "192.168.2.13", "192.168.2.14"};
    for (int camera : cameras) {
        const auto packets = Received(camera, 102);
        ASSERT_EQ(packets.size(), 6u) << "camera " << camera;
        for (std::size_t i = 0; i < 3; ++i) {
            const auto& b = packets[2 * i].bytes;
            char mac[18];
            std::snprintf(mac, sizeof mac, "%02X:%02X:%02X:%02X:%02X:%02X", b[20], b[21], b[22], b[23],
                          b[24], b[25]);
            EXPECT_EQ(mac, macs[i]);
            EXPECT_EQ(TextAt(b, 56), given[i]);
            EXPECT_EQ(TextAt(b, 88), "255.255.255.0");
            EXPECT_EQ(TextAt(b, 120), "192.168.2.1");
            EXPECT_EQ(TextAt(b, 152), "192.168.2.1");
            EXPECT_EQ(TextAt(b, 184), "0.0.0.0");
        }
    }

    // The cameras moved: the next search shows their new addresses.
    Press(1005);
    WaitForRows(3);
    for (long row = 0; row < 3; ++row) {
        const auto mac = Cell(row, 4).ToStdString();
        for (int i = 0; i < 3; ++i)
            if (mac == macs[i]) EXPECT_EQ(Cell(row, 3), given[i]);
    }
}

TEST_F(OperationsWindowTest, CounterStopsAtTheEndOfTheRange) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    std::vector<std::uint32_t> asked;
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, &asked));
    SetSelectAll(true);
    AcceptNetworkDialog(Ip(192, 168, 2, 254));
    Press(1006);
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{Ip(192, 168, 2, 254), Ip(192, 168, 2, 255)}));
    std::vector<std::string> sent;
    for (const auto& p : Received(cameras[0], 102))
        if (p.kind == "multicast") sent.push_back(TextAt(p.bytes, 56));
    EXPECT_EQ(sent, (std::vector<std::string>{"192.168.2.254", "192.168.2.255"}));
}

TEST_F(OperationsWindowTest, NothingIsSentWhenEveryCandidateAnswersOrOnCancel) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    std::vector<std::uint32_t> asked, taken;
    for (int d = 250; d <= 255; ++d) taken.push_back(Ip(192, 168, 2, d));
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(taken, &asked));
    SetSelectAll(true);
    AcceptNetworkDialog(Ip(192, 168, 2, 250));
    Press(1006);
    EXPECT_EQ(asked, taken);

    asked.clear();
    AnswerNextDialog([](wxDialog& dialog) { PressDialogButton(dialog, wxID_CANCEL); });
    Press(1006);
    EXPECT_TRUE(asked.empty());
    PumpFor(200ms);
    for (int camera : cameras) EXPECT_TRUE(Received(camera, 102).empty());
}

TEST_F(OperationsWindowTest, ModelChangeTakesOnlyAnExactName) {
    LAB_REQUIRE_ROOT();
    OpenWithCameras();
    SelectRows({0, 1});
    for (const char* refused : {"zr420-2", "ZR420-3", "", " ZR420"}) ChooseModel(refused);
    PumpFor(200ms);
    EXPECT_TRUE(Received(cameras[0], 105).empty());

    ChooseModel("ZR420-2");
    ChooseModel("ZR420");
    PumpFor(200ms);
    const auto packets = Received(cameras[0], 105);
    ASSERT_EQ(packets.size(), 8u);  // two rows, two names, two copies each
    std::vector<std::uint8_t> field(32, 0);
    std::memcpy(field.data(), "ZR420-2", 7);
    EXPECT_EQ(std::vector<std::uint8_t>(packets[0].bytes.begin() + 216, packets[0].bytes.begin() + 248), field);
    EXPECT_EQ(TextAt(packets[4].bytes, 216), "ZR420");
    EXPECT_EQ(TextAt(packets[6].bytes, 216), "ZR420");
    char mac[18];
    const auto& b = packets[0].bytes;
    std::snprintf(mac, sizeof mac, "%02X:%02X:%02X:%02X:%02X:%02X", b[20], b[21], b[22], b[23], b[24], b[25]);
    EXPECT_EQ(wxString(mac), Cell(0, 4));

    // The devices report the new model at the next search.
    Press(1005);
    WaitForRows(3);
    EXPECT_EQ(Cell(RowOfSerial("SN-A"), 2), "ZR420");
}

TEST_F(OperationsWindowTest, DoubleClickOpensOnlyAValidPageAddress) {
    LAB_REQUIRE_ROOT();
    net.AddLink("192.168.2.100/24");
    lab::CameraConfig c;
    c.ip = "192.168.2.10";
    c.port = 80;
    net.AddCamera(0, c);
    OpenWindow();
    WaitForRows(1);
    std::vector<wxString> opened;
    window->SetPageOpener([&](const wxString& address) {
        opened.push_back(address);
        return true;
    });
    auto activate = [&](long row) {
        wxListEvent event(wxEVT_LIST_ITEM_ACTIVATED, 1003);
        event.m_itemIndex = row;
        event.SetEventObject(&window->DeviceList());
        window->GetEventHandler()->ProcessEvent(event);
    };
    activate(0);
    activate(-1);
    ASSERT_EQ(opened, std::vector<wxString>{"http://192.168.2.10:80"});

    window->DeviceList().AddItem({"2", "X", "ZR410", "192.168.2.10 --new-window", "02:00:00:00:00:09", "80",
                                  "V1", "ok"});
    window->DeviceList().AddItem({"3", "Y", "ZR410", "192.168.2.11", "02:00:00:00:00:0A", "0", "V1", "ok"});
    activate(1);
    activate(2);
    EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
}  // namespace vimbrel::test
