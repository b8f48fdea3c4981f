// The window's words for the core's codes, in the language the test program
// was started in: Chinese (the catalogs' source, the texts the window has
// always shown) by default, English from the build tree's catalog.
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "app/marks_words.h"
#include "controls_ui/translations.h"
#include "operations/address_plan.h"
#include "operations_ui/report_words.h"
#include "tests/support/addresses.h"

namespace vimbrel::test {
namespace {

bool English() { return CurrentUiLanguage() == UiLanguage::kEnglish; }

// The words of the faults of one plan, in file order.
std::vector<wxString> PlanWords(std::string_view csv, const PlanDefaults& defaults) {
    std::vector<wxString> words;
    for (const PlanError& e : ReadAddressPlan(csv, defaults).errors)
        words.push_back(PlanErrorWords(e));
    return words;
}

TEST(WindowWords, APlansFaultsWithTheirValues) {
    const std::vector<wxString> said = PlanWords(
        "mac,new_ip,mask,gateway\n"
        "00:1A:2B:3C:4D:01,192.168.2.51,,\n"
        "00:1A:2B:3C:4D,192.168.2.52,,\n"
        "00:1A:2B:3C:4D:03,192.168.2.53,255.255.0,\n"
        "00:1A:2B:3C:4D:04,192.168.2.51,,\n"
        "00:1a:2b:3c:4d:01,192.168.2.55,,\n"
        "00:1A:2B:3C:4D:07,192.168.2.255,,\n"
        "00:1A:2B:3C:4D:08,192.168.2.58,255.0.255.0,\n"
        "00:1A:2B:3C:4D:09,192.168.2.1,,\n"
        "00:1A:2B:3C:4D:0A,192.168.3.60,,\n"
        "00:1A:2B:3C:4D:0B,224.0.0.9,,224.0.0.1\n",
        {Ip(255, 255, 255, 0), Ip(192, 168, 2, 1)});
    const std::vector<std::wstring> expected =
        English()
            ? std::vector<std::wstring>{
                  L"malformed MAC address '00:1A:2B:3C:4D' (expected XX:XX:XX:XX:XX:XX)",
                  L"malformed mask '255.255.0'",
                  L"new_ip 192.168.2.51 is also on line 2",
                  L"MAC address '00:1a:2b:3c:4d:01' is also on line 2",
                  L"new_ip 192.168.2.255 is the network or broadcast address of its network",
                  L"mask 255.0.255.0 is not contiguous",
                  L"new_ip 192.168.2.1 is the gateway",
                  L"gateway 192.168.2.1 is outside the network of 192.168.3.60",
                  L"new_ip 224.0.0.9 is not an ordinary unicast address (0.x, 127.x, multicast "
                  L"224-239 and reserved 240-255 cut a camera off)"}
            : std::vector<std::wstring>{
                  L"MAC地址 '00:1A:2B:3C:4D' 无法识别（应为 XX:XX:XX:XX:XX:XX）",
                  L"mask '255.255.0' 不是IPv4地址",
                  L"new_ip 192.168.2.51 与第 2 行重复",
                  L"MAC地址 '00:1a:2b:3c:4d:01' 与第 2 行重复",
                  L"new_ip 192.168.2.255 是其网段的网络地址或广播地址",
                  L"子网掩码 255.0.255.0 无效：必须是连续的掩码",
                  L"new_ip 192.168.2.1 是网关地址",
                  L"网关 192.168.2.1 与 192.168.3.60 不在同一网段",
                  L"new_ip 224.0.0.9 不能用：不能是 0.x.x.x、127.x.x.x、组播地址（224-239）"
                  L"或保留地址（240-255）"};
    ASSERT_EQ(said.size(), expected.size());
    for (std::size_t i = 0; i < said.size(); ++i) EXPECT_EQ(said[i], expected[i]) << i;

    // A file that is no plan, and a serial number's faults.
    const auto only = [](std::string_view csv, const PlanDefaults& defaults = {}) {
        const std::vector<wxString> words = PlanWords(csv, defaults);
        return words.size() == 1 ? words[0] : wxString("not one fault");
    };
    EXPECT_EQ(only(""), English() ? L"the file is empty" : L"文件是空的");
    EXPECT_EQ(only("model,new_ip\n"), English() ? L"the header has no mac or serial column"
                                                : L"标题行没有 mac 或 serial 列");
    EXPECT_EQ(only("mac,new_ip\n\"00:1A:2B:3C:4D:01,10.0.0.5\n"),
              English() ? L"a quoted field is not closed" : L"CSV格式有误（带引号的字段没有结束）");
    EXPECT_EQ(only("mac,new_ip\n00:1A:2B:3C:4D:01,10.0.0.5\n"),
              English() ? L"no mask: give a mask column" : L"没有子网掩码（mask 列）");
    EXPECT_EQ(
        only("serial,new_ip\nSN-A,10.0.0.5\nSN-A,10.0.0.6\n", {Ip(255, 0, 0, 0), Ip(10, 0, 0, 1)}),
        English() ? L"serial number 'SN-A' is also on line 2" : L"生产系列号 'SN-A' 与第 2 行重复");
}

TEST(WindowWords, TheFirewallsFindingWithTheProfile) {
    using platform::FirewallProfile;
    if (English()) {
        EXPECT_EQ(FirewallFindingWords(FirewallFinding::kBlockRule, FirewallProfile::kPublic),
                  L"Windows Firewall has a rule that blocks Vimbrel (public network): the "
                  L"cameras' replies are blocked.");
        return;
    }
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kBlockRule, FirewallProfile::kPublic),
              L"Windows 防火墙有阻止 Vimbrel 的规则（公用网络），摄像机的应答被拦截。");
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kOff, FirewallProfile::kDomain),
              L"Windows 防火墙在当前网络（域网络）上已关闭，不是它拦截了应答。"
              L"其他可能的原因：网线未接好，或设备在路由器另一侧的网段。");
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kAllowRule, FirewallProfile::kPrivate),
              L"Windows 防火墙已允许 Vimbrel（专用网络），不是它拦截了应答。"
              L"其他可能的原因：网线未接好，或设备在路由器另一侧的网段。");
    // Public: why a switch-and-laptop network is public at all.
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kNoRule, FirewallProfile::kPublic),
              L"Windows 防火墙已开启（公用网络），没有允许 Vimbrel 的规则，摄像机的应答被拦截。"
              L"只有交换机、没有网关的摄像机网络是未识别的网络，Windows 把它当作公用网络。");
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kNoRule, FirewallProfile::kPrivate),
              L"Windows 防火墙已开启（专用网络），没有允许 Vimbrel 的规则，摄像机的应答被拦截。");
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kNotKnown, FirewallProfile::kPublic),
              L"无法读取 Windows 防火墙的设置，它可能拦截了摄像机的应答。"
              L"其他可能的原因：网线未接好，或设备在路由器另一侧的网段。");
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kLinux, FirewallProfile::kPublic),
              L"常见原因：网线未接好，设备在路由器另一侧的网段，或防火墙拦截了摄像机的应答"
              L"（firewalld：firewall-cmd --permanent --add-service=vimbrel && firewall-cmd "
              L"--reload；ufw：ufw allow proto udp from any port 9876）。");
}

TEST(WindowWords, TheMarksAndABatchsReport) {
    if (English()) {
        EXPECT_EQ(MarkCountsWords({2, 0}), L"Same IP: 2");
        EXPECT_EQ(RowInfoWords({L"192.168.2.10", Ip(192, 168, 2, 100), 0}, {}),
                  L"received on 192.168.2.100");
        return;
    }
    const MarkedRow row{L"192.168.2.10", Ip(192, 168, 2, 100), Ip(255, 255, 255, 0)};
    EXPECT_EQ(RowInfoWords(row, {}), L"经 192.168.2.100 收到");
    EXPECT_EQ(RowInfoWords(row, {2, false}), L"IP地址与另外 2 台设备相同（经 192.168.2.100 收到）");
    EXPECT_EQ(
        RowInfoWords(row, {0, true}),
        L"不在本机网段（经 192.168.2.100 收到），网页无法直接打开；可用“自动分配IP”改到本机网段");
    EXPECT_EQ(RowInfoWords({L"10.0.0.5", 0, 0}, {1, true}),
              L"IP地址与另外 1 台设备相同；不在本机网段（收到它的本机地址不详），网页无法直接打开；"
              L"可用“自动分配IP”改到本机网段");
    EXPECT_EQ(MarkCountsWords({}), L"");
    EXPECT_EQ(MarkCountsWords({2, 1}), L"IP重复 2 台\n不在本机网段 1 台");
    EXPECT_EQ(NothingFoundWords({Ip(192, 168, 2, 100), Ip(192, 168, 3, 100)}),
              L"搜索经 192.168.2.100、192.168.3.100 发出，没有设备应答。");
    EXPECT_EQ(NothingFoundWords({}), L"没有可用的本机地址，搜索未发出。");

    BatchReport report;
    report.unassigned = {L"SN-A"};
    report.notSent = {L"SN-B", L"SN-C"};
    EXPECT_EQ(BatchReportWords(report),
              L"1 台设备未分配到IP地址：SN-A\n"
              L"2 台设备的命令未能发出（本机没有IPv4地址或发送失败）：SN-B、SN-C");
    report.sendFailure = L"Network is unreachable";
    EXPECT_EQ(BatchReportWords(report),
              L"1 台设备未分配到IP地址：SN-A\n"
              L"2 台设备的命令未能发出（原因：Network is unreachable）：SN-B、SN-C");
    EXPECT_TRUE(BatchReportWords(BatchReport{}).empty());
}

}  // namespace
}  // namespace vimbrel::test
