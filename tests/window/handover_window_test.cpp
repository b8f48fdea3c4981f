// The list handed over: Ctrl+C and the context menu's 复制 put the selected
// rows on the clipboard as tab-separated text with the titles, 导出为CSV…
// writes the command line's CSV of the whole list, 打开网页 opens the menu
// row's page. Checked through the text produced and the list's state.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>

#include <wx/timer.h>

#include "cli/cli_app.h"
#include "tests/support/addresses.h"
#include "tests/support/column_titles.h"
#include "tests/support/wait.h"
#include "tests/window/window_fixture.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

// The first line of a copy.
wxString TitlesLine() { return wxString::FromUTF8(kColumnTitles) + "\n"; }

class HandoverWindowTest : public WindowTest {
protected:
    void SetUp() override {
        LAB_REQUIRE_ROOT();
        const int link1 = net.AddLink("192.168.2.100/24");
        const int link2 = net.AddLink("192.168.3.100/24");
        lab::CameraConfig a;
        a.serial = "SN-A";
        a.ip = "192.168.2.21";
        a.status = "运行\t中";  // a tab from the network must not move the cells
        net.AddCamera(link1, a);
        lab::CameraConfig b;
        b.serial = "Cam,\"7\"";
        b.ip = "192.168.3.22";
        b.mac = "00:1A:2B:3C:4D:02";
        b.port = 8080;
        net.AddCamera(link2, b);
        OpenWindow();
        WaitForRows(2);
        window->Handover().SetPutText([this](const wxString& text) {
            copied.push_back(text);
            return true;
        });
    }

    void CtrlKey(int key, bool control = true) {
        wxKeyEvent press(wxEVT_CHAR_HOOK);
        press.m_keyCode = key;
        press.m_controlDown = control;
        press.SetEventObject(window);
        window->GetEventHandler()->ProcessEvent(press);
    }

    void Choose(int id) {
        const std::unique_ptr<wxMenu> menu = window->Handover().MakeMenu();
        ASSERT_TRUE(menu->IsEnabled(id)) << id;
        wxCommandEvent pick(wxEVT_MENU, id);
        menu->ProcessEvent(pick);
    }

    // The row's line as it is copied, "索引" first.
    wxString Line(long row, const char* rest) {
        return Cell(row, 0) + wxString::FromUTF8(rest) + "\n";
    }

    std::vector<wxString> copied;
};

TEST_F(HandoverWindowTest, CopyPutsTheSelectedRowsWithTheTitlesAsTabSeparatedText) {
    const long a = RowOfSerial("SN-A"), b = RowOfSerial("Cam,\"7\"");
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    CtrlKey('C');  // nothing selected: nothing copied
    EXPECT_TRUE(copied.empty());
    std::unique_ptr<wxMenu> menu = window->Handover().MakeMenu();
    EXPECT_FALSE(menu->IsEnabled(DeviceListHandover::kCopyId));
    EXPECT_TRUE(menu->IsEnabled(DeviceListHandover::kExportId));
    EXPECT_FALSE(menu->IsEnabled(DeviceListHandover::kOpenPageId));

    SelectRows({a});
    CtrlKey('C', false);  // a plain C copies nothing
    EXPECT_TRUE(copied.empty());
    CtrlKey('C');
    const wxString rowA =
        Line(a, "\tSN-A\tZR420\t192.168.2.21\t00:1A:2B:3C:4D:01\t80\tV1.0.0\t运行 中");
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(copied[0], TitlesLine() + rowA);

    SelectRows({a, b});
    Choose(DeviceListHandover::kCopyId);
    ASSERT_EQ(copied.size(), 2u);
    const wxString rowB =
        Line(b, "\tCam,\"7\"\tZR420\t192.168.3.22\t00:1A:2B:3C:4D:02\t8080\tV1.0.0\trunning");
    const wxString inListOrder = a < b ? rowA + rowB : rowB + rowA;
    EXPECT_EQ(copied[1], TitlesLine() + inListOrder);

    // A clipboard that can't be opened is said.
    window->Handover().SetPutText([](const wxString&) { return false; });
    CtrlKey('C');
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].Find(wxString::FromUTF8("剪贴板")), wxNOT_FOUND);
}

TEST_F(HandoverWindowTest, ExportWritesTheCommandLinesCsvOfTheWholeList) {
    char dir[] = "/tmp/vimbrel-export-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/设备.csv";
    int asked = 0;
    window->Handover().SetChooseFile([&] {
        ++asked;
        return wxString::FromUTF8(path);
    });
    Choose(DeviceListHandover::kExportId);
    EXPECT_EQ(asked, 1);
    std::ifstream file(path, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(file)), {});

    // The same text, line for line, as `search --format csv` in the same
    // network (the order of the rows is the order of the replies).
    std::ostringstream out, err;
    lab::RequirePrivateNetwork();
    ASSERT_EQ(cli::RunCli({"search", "--format", "csv", "--wait", "0.5"}, out, err, nullptr), 0)
        << err.str();
    auto lines = [](const std::string& text) {
        std::multiset<std::string> set;
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos;
             at = end + 2)
            set.insert(text.substr(at, end - at));
        return set;
    };
    ASSERT_EQ(written.rfind("\xEF\xBB\xBF", 0), 0u);
    EXPECT_EQ(written.substr(written.size() - 2), "\r\n");
    EXPECT_EQ(lines(written), lines(out.str())) << written;
    EXPECT_NE(written.find("\r\n\"Cam,\"\"7\"\"\",ZR420,192.168.3.22,00:1A:2B:3C:4D:02,8080,V1.0.0,"
                           "running,192.168.3.100\r\n"),
              std::string::npos)
        << written;

    // Cancelled: nothing written, nothing said. A folder that isn't there: said.
    std::remove(path.c_str());
    window->Handover().SetChooseFile([] { return wxString(); });
    Choose(DeviceListHandover::kExportId);
    EXPECT_FALSE(std::ifstream(path).good());
    EXPECT_TRUE(told.empty());
    window->Handover().SetChooseFile([&] { return wxString::FromUTF8(path + ".d/x.csv"); });
    Choose(DeviceListHandover::kExportId);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].Find(wxString::FromUTF8("未导出")), wxNOT_FOUND) << told[0];
    rmdir(dir);
}

// After a sort, the copy and the export give each row's own device, in the
// order the list shows, numbered as it shows them.
TEST_F(HandoverWindowTest, CopyAndExportAfterASortFollowTheListsOrder) {
    const wxString camLine =
        "\tCam,\"7\"\tZR420\t192.168.3.22\t00:1A:2B:3C:4D:02\t8080\tV1.0.0\trunning\n";
    const wxString snLine =
        wxString::FromUTF8("\tSN-A\tZR420\t192.168.2.21\t00:1A:2B:3C:4D:01\t80\tV1.0.0\t运行 中\n");
    SortBy(column::kSerial);  // "Cam,\"7\"" before "SN-A"
    SelectRows({0});
    CtrlKey('C');
    SortBy(column::kSerial);  // the other way round
    SelectRows({0, 1});
    CtrlKey('C');
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_EQ(copied[0], TitlesLine() + "1" + camLine);
    EXPECT_EQ(copied[1], TitlesLine() + "1" + snLine + "2" + camLine);

    char dir[] = "/tmp/vimbrel-sorted-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/list.csv";
    window->Handover().SetChooseFile([&] { return wxString::FromUTF8(path); });
    Choose(DeviceListHandover::kExportId);
    std::ifstream file(path, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(file)), {});
    const std::size_t sn = written.find("\r\nSN-A,"), cam = written.find("\r\n\"Cam,");
    ASSERT_NE(sn, std::string::npos) << written;
    ASSERT_NE(cam, std::string::npos) << written;
    EXPECT_LT(sn, cam) << written;
    std::remove(path.c_str());
    rmdir(dir);
}

TEST_F(HandoverWindowTest, OpenPageOpensTheFocusedSelectedRowsPage) {
    std::vector<wxString> opened;
    window->SetPageOpener([&](const wxString& page) {
        opened.push_back(page);
        return true;
    });
    auto& list = window->DeviceList();
    const long a = RowOfSerial("SN-A"), b = RowOfSerial("Cam,\"7\"");
    SelectRows({a, b});
    list.SetItemState(b, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    Choose(DeviceListHandover::kOpenPageId);
    list.SetItemState(b, 0, wxLIST_STATE_SELECTED);  // focused but not selected: the selected one
    Choose(DeviceListHandover::kOpenPageId);
    EXPECT_EQ(opened,
              (std::vector<wxString>{"http://192.168.3.22:8080", "http://192.168.2.21:80"}));
}

// 按地址表分配…: the plan's lines checked and matched to rows first, old -> new
// shown and asked; on yes each camera gets its address (probed first) and
// the window's own search shows the new addresses.
TEST_F(HandoverWindowTest, AnAddressPlanMovesTheCamerasAfterAPreview) {
    std::vector<std::uint32_t> probed;
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, &probed));
    char dir[] = "/tmp/vimbrel-plan-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    auto write = [&](const std::string& name, const std::string& text) {
        const std::string path = std::string(dir) + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    };
    const std::string faulty =
        write("faulty.csv",
              "mac,new_ip,mask,gateway\r\n"
              "00:1A:2B:3C:4D:01,192.168.2.61,255.255.255.0,192.168.2.1\r\n"
              "00:1A:2B:3C:4D:09,192.168.2.62,255.255.255.0,192.168.2.1\r\n");
    const std::string plan = write("plan.csv",
                                   "\xEF\xBB\xBFmac,new_ip,mask,gateway\r\n"
                                   "00:1A:2B:3C:4D:01,192.168.2.61,255.255.255.0,192.168.2.1\r\n"
                                   "00:1a:2b:3c:4d:02,192.168.3.62,255.255.255.0,192.168.3.1\r\n");
    std::string chosen = faulty;
    window->Handover().SetChoosePlan([&] { return wxString::FromUTF8(chosen); });

    Choose(DeviceListHandover::kAssignPlanId);  // a line names no row: nothing asked, nothing sent
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].Find(wxString::FromUTF8("第 3 行：列表中没有 00:1A:2B:3C:4D:09 这台设备")),
              wxNOT_FOUND)
        << told[0];
    EXPECT_TRUE(probed.empty());

    chosen = plan;
    answerYes = false;
    Choose(DeviceListHandover::kAssignPlanId);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].Find(wxString::FromUTF8("192.168.2.21 → 192.168.2.61")), wxNOT_FOUND)
        << asked[0];
    EXPECT_NE(asked[0].Find(wxString::FromUTF8("192.168.3.22 → 192.168.3.62")), wxNOT_FOUND);
    EXPECT_TRUE(probed.empty()) << "no is no: nothing probed";

    answerYes = true;
    Choose(DeviceListHandover::kAssignPlanId);
    EXPECT_EQ(probed.size(), 2u);
    EXPECT_TRUE(window->ConfirmingAddresses());
    auto moved = [&] {
        const long a = RowOfSerial("SN-A"), b = RowOfSerial("Cam,\"7\"");
        return a >= 0 && b >= 0 && Cell(a, column::kAddress) == "192.168.2.61" &&
               Cell(b, column::kAddress) == "192.168.3.62";
    };
    EXPECT_TRUE(PumpUntil(moved, 10s));
    EXPECT_TRUE(PumpUntil([&] { return !window->ConfirmingAddresses(); }, 10s));
    EXPECT_EQ(told.size(), 1u) << told.back();
    std::remove(faulty.c_str());
    std::remove(plan.c_str());
    rmdir(dir);
}

// A line moving Cam,"7" (answered through 192.168.3.100) to 192.168.2.62 is
// asked about after the preview: no probes and sends nothing, yes sends.
TEST_F(HandoverWindowTest, AnAddressPlanAsksBeforeMovingACameraOffItsNetwork) {
    std::vector<std::uint32_t> probed;
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, &probed));
    char dir[] = "/tmp/vimbrel-plan-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string plan = std::string(dir) + "/plan.csv";
    std::ofstream(plan, std::ios::binary)
        << "mac,new_ip,mask,gateway\r\n"
           "00:1A:2B:3C:4D:02,192.168.2.62,255.255.255.0,192.168.2.1\r\n";
    window->Handover().SetChoosePlan([&] { return wxString::FromUTF8(plan); });

    const wxString moveQuestion = wxString::FromUTF8(
        "1 台设备经 192.168.3.100 收到，新地址不在该网段，分配后本机将无法直接访问它们。仍然分配？"
        "\nCam,\"7\"");
    answer = [&](const wxString& question) { return question != moveQuestion; };
    Choose(DeviceListHandover::kAssignPlanId);
    ASSERT_EQ(asked.size(), 2u);  // the preview, then the move
    EXPECT_EQ(asked[1], moveQuestion);
    EXPECT_TRUE(probed.empty());
    EXPECT_TRUE(Received(1, 102).empty());

    answer = nullptr;
    Choose(DeviceListHandover::kAssignPlanId);
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_EQ(probed, (std::vector<std::uint32_t>{Ip(192, 168, 2, 62)}));
    EXPECT_EQ(ReceivedAtLeast(1, 1, 102, "multicast").size(), 1u);
    std::remove(plan.c_str());
    rmdir(dir);
}

// A plan whose new address another host answers for: that camera is named
// and gets nothing, the other moves. A plan cancelled while its addresses are
// probed sends nothing and names both.
TEST_F(HandoverWindowTest, AnAddressPlanSkipsATakenAddressAndCanBeCancelled) {
    char dir[] = "/tmp/vimbrel-plan-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string plan = std::string(dir) + "/plan.csv";
    std::ofstream(plan, std::ios::binary)
        << "mac,new_ip,mask,gateway\r\n"
           "00:1A:2B:3C:4D:01,192.168.2.61,255.255.255.0,192.168.2.1\r\n"
           "00:1A:2B:3C:4D:02,192.168.3.62,255.255.255.0,192.168.3.1\r\n";
    window->Handover().SetChoosePlan([&] { return wxString::FromUTF8(plan); });

    // Cancelled while the probes are under way: they settle only then.
    auto owned = std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{}, nullptr);
    std::atomic<bool> cancelled{false};
    owned->SetOnCall([&](std::uint32_t) { WaitUntil([&] { return cancelled.load(); }, 10s); });
    window->SetArpProbe(std::move(owned));
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (auto* progress = FindProgressDialog(); progress && !cancelled) {
            PressDialogButton(*progress, wxID_CANCEL);
            cancelled = true;
        }
    });
    timer.Start(50);
    Choose(DeviceListHandover::kAssignPlanId);
    timer.Stop();
    EXPECT_TRUE(cancelled);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].StartsWith(wxString::FromUTF8("2 台设备因取消而未处理"))) << told[0];
    EXPECT_FALSE(window->ConfirmingAddresses());

    // 192.168.2.61 answers: SN-A is named, the other camera moves.
    window->SetArpProbe(std::make_unique<ScriptedArpProbe>(std::vector<std::uint32_t>{0xC0A8023D},
                                                           nullptr));  // 192.168.2.61
    Choose(DeviceListHandover::kAssignPlanId);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_TRUE(told[1].StartsWith(wxString::FromUTF8("1 台设备的新地址已被其他主机占用，未发送")))
        << told[1];
    EXPECT_NE(told[1].Find("SN-A"), wxNOT_FOUND) << told[1];
    EXPECT_TRUE(PumpUntil(
        [&] {
            const long b = RowOfSerial("Cam,\"7\"");
            return b >= 0 && Cell(b, column::kAddress) == "192.168.3.62";
        },
        10s));
    EXPECT_TRUE(PumpUntil([&] { return !window->ConfirmingAddresses(); }, 10s));
    EXPECT_EQ(Cell(RowOfSerial("SN-A"), column::kAddress), "192.168.2.21");
    // Each set-network sent (on every link) names the other camera's MAC.
    const auto setNetwork = ReceivedAtLeast(2, 0, 102);
    ASSERT_EQ(setNetwork.size(), 2u) << "one command, two copies";
    for (const auto& datagram : setNetwork)
        EXPECT_EQ(
            std::vector<std::uint8_t>(datagram.bytes.begin() + 20, datagram.bytes.begin() + 26),
            (std::vector<std::uint8_t>{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x02}));
    std::remove(plan.c_str());
    rmdir(dir);
}

}  // namespace
}  // namespace vimbrel::test
