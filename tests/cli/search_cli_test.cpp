// vimbrel-cli search on simulated cameras: the JSON fields, CSV quoting, the
// table's columns lined up by display width, and the exit code with no
// camera.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/utf8_text.h"
#include "tests/cli/cli_lab.h"
#include "tests/support/wait.h"

namespace vimbrel::test {
namespace {

std::vector<std::string> Lines(const std::string& text, const std::string& end = "\n") {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t next = text.find(end, at);
        if (next == std::string::npos) next = text.size();
        lines.push_back(text.substr(at, next - at));
        at = next + end.size();
    }
    return lines;
}

TEST(SearchCli, ListsTheCamerasAsJsonCsvAndTable) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    const int link1 = net.AddLink("192.168.2.100/24");
    const int link2 = net.AddLink("192.168.3.100/24");
    lab::CameraConfig a;
    a.serial = "SN-A";
    a.model = "ZR4300-1";
    a.ip = "192.168.2.21";
    a.mac = "00:1A:2B:3C:4D:01";
    a.port = 8080;
    a.firmware = "V2.3.4";
    a.status = "运行中";
    net.AddCamera(link1, a);
    lab::CameraConfig b;
    b.serial = "Cam,\"7\"";
    b.ip = "192.168.3.22";
    b.mac = "00:1a:2b:3c:4d:02";
    net.AddCamera(link2, b);
    net.EnterComputer();

    const CliRun json = RunCliHere({"search", "--format", "json", "--wait", "0.5"});
    EXPECT_EQ(json.exitCode, 0) << json.err;
    const auto parsed = nlohmann::json::parse(json.out);
    ASSERT_EQ(parsed.size(), 2u) << json.out;
    std::map<std::string, nlohmann::json> byMac;
    for (const auto& camera : parsed) byMac[camera.at("mac")] = camera;
    const nlohmann::json& first = byMac.at("00:1A:2B:3C:4D:01");
    EXPECT_EQ(first.at("serial"), "SN-A");
    EXPECT_EQ(first.at("model"), "ZR4300-1");
    EXPECT_EQ(first.at("ip"), "192.168.2.21");
    EXPECT_EQ(first.at("port"), 8080);
    EXPECT_EQ(first.at("firmware"), "V2.3.4");
    EXPECT_EQ(first.at("status"), "运行中");
    EXPECT_EQ(first.size(), 8u);
    EXPECT_EQ(first.at("local_address"), "192.168.2.100");
    for (const auto& camera : parsed)  // by the columns' types: the port a number, the rest text
        for (const auto& [key, value] : camera.items())
            EXPECT_EQ(value.is_number_integer(), key == "port") << key << ": " << value;
    const nlohmann::json& second = byMac.at("00:1A:2B:3C:4D:02");  // as the window writes it
    EXPECT_EQ(second.at("serial"), "Cam,\"7\"");
    EXPECT_EQ(second.at("local_address"), "192.168.3.100");

    const CliRun csv = RunCliHere({"search", "--format", "csv", "--wait", "0.5"});
    EXPECT_EQ(csv.exitCode, 0);
    ASSERT_EQ(csv.out.rfind("\xEF\xBB\xBF", 0), 0u) << "byte order mark first";
    const std::vector<std::string> rows = Lines(csv.out.substr(3), "\r\n");
    ASSERT_EQ(rows.size(), 3u) << csv.out;
    EXPECT_EQ(rows[0], "serial,model,ip,mac,port,firmware,status,local_address");
    const std::string quoted =
        "\"Cam,\"\"7\"\"\",ZR420,192.168.3.22,00:1A:2B:3C:4D:02,80,V1.0.0,running,192.168.3.100";
    EXPECT_TRUE(rows[1] == quoted || rows[2] == quoted) << csv.out;

    const CliRun table = RunCliHere({"search", "--wait", "0.5"});
    EXPECT_EQ(table.exitCode, 0);
    const std::vector<std::string> lines = Lines(table.out);
    ASSERT_EQ(lines.size(), 3u) << table.out;
    EXPECT_EQ(lines[0].rfind("索引", 0), 0u);
    // Every column starts at the same display width as its title.
    auto columnAt = [](const std::string& line, const std::string& text) {
        const std::size_t at = line.find(text);
        return at == std::string::npos ? std::size_t(-1) : cli::DisplayWidth(line.substr(0, at));
    };
    const std::size_t ip = columnAt(lines[0], "IP地址"), status = columnAt(lines[0], "运行状态");
    for (int row = 1; row <= 2; ++row) {
        const bool isA = lines[row].find("SN-A") != std::string::npos;
        EXPECT_EQ(columnAt(lines[row], isA ? "192.168.2.21" : "192.168.3.22"), ip) << table.out;
        EXPECT_EQ(columnAt(lines[row], isA ? "运行中" : "running"), status) << table.out;
    }
}

// Three rounds by default; --rounds N; no round that would start within
// 0.2 s of the end of --wait (round 3 starts 0.6 s in at the earliest).
// Once a run has returned, every round it sent is on the wire.
TEST(SearchCli, RoundsAsAskedAndNoneTooLateForItsReplies) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    const int camera = net.AddCamera(net.AddLink("192.168.2.100/24"), lab::CameraConfig{});
    net.EnterComputer();
    struct Case {
        std::vector<std::string> args;
        std::size_t datagrams;  // two a round
    };
    const Case cases[] = {
        {{"search", "--wait", "1.2"}, 6},
        {{"search", "--wait", "0.5", "--rounds", "1"}, 2},
        {{"search", "--wait", "0.5", "--rounds", "10"}, 4},
        {{"search", "--wait", "0.3", "--rounds", "3"}, 2},
    };
    std::size_t total = 0;
    for (const Case& c : cases) {
        const CliRun run = RunCliHere(c.args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        total += c.datagrams;
        std::vector<lab::LoggedDatagram> got;
        WaitUntil([&] { return (got = Received(net, camera, 100)).size() >= total; });
        ASSERT_EQ(got.size(), total) << c.args.back();
        for (std::size_t i = total - c.datagrams; i < total; ++i)
            EXPECT_EQ(got[i].kind, i % 2 == 0 ? "multicast" : "broadcast");
    }
}

TEST(SearchCli, NoCameraExitsTwo) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    net.AddLink("192.168.2.100/24");
    net.EnterComputer();
    const CliRun run = RunCliHere({"search", "--format", "json", "--wait", "0.3"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::array());
    EXPECT_EQ(run.err,
              "vimbrel-cli: no camera answered\n"
              "vimbrel-cli: a firewall may drop the cameras' replies; firewalld: firewall-cmd "
              "--permanent --add-service=vimbrel && firewall-cmd --reload; ufw: ufw allow proto "
              "udp from any port 9876\n");
}

}  // namespace
}  // namespace vimbrel::test
