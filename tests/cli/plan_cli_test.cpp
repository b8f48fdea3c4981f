// assign-ip --plan: a plan made from `search --format csv` with a new_ip
// column added moves the cameras; a plan with a faulty line sends nothing;
// an address another host answers for is refused for its camera alone.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/cli/cli_lab.h"

namespace vimbrel::test {
namespace {

// Where a set-network command's texts lie.
constexpr std::size_t kAddressOffset = 56, kMaskOffset = 88, kGatewayOffset = 120;

class PlanCli : public ::testing::Test {
protected:
    void SetUp() override {
        LAB_REQUIRE_ROOT();
        const int link = net.AddLink("192.168.2.100/24");
        for (int i = 0; i < 3; ++i) {
            lab::CameraConfig c;
            c.serial = std::string("SN-") + char('A' + i);
            c.ip = "192.168.2.2" + std::to_string(i + 1);
            c.mac = "00:1A:2B:3C:4D:0" + std::to_string(i + 1);
            cameras.push_back(net.AddCamera(link, c));
        }
        net.AddHost(link, "192.168.2.60/24");
        net.EnterComputer();
        char dir[] = "/tmp/vimbrel-plan-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        folder = dir;
    }
    void TearDown() override {
        for (const std::string& file : files) std::remove(file.c_str());
        if (!folder.empty()) rmdir(folder.c_str());
    }

    std::string Write(const std::string& text) {
        files.push_back(folder + "/plan" + std::to_string(files.size()) + ".csv");
        std::ofstream(files.back(), std::ios::binary) << text;
        return files.back();
    }

    // The search's CSV as a spreadsheet saves it after a new_ip column and a
    // note column were added: each line's new address by MAC (none: empty).
    std::string FromSearch(const std::map<std::string, std::string>& newIp) {
        const CliRun search = RunCliHere({"search", "--format", "csv", "--wait", "0.5"});
        EXPECT_EQ(search.exitCode, 0) << search.err;
        std::istringstream lines(search.out);
        std::string text, line;
        std::getline(lines, line);
        text = line.substr(0, line.size() - 1) + ",new_ip,note\r\n";  // the header, less its CR
        std::map<std::string, std::string> byMac;  // sorted, as a spreadsheet may
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            for (const char* mac : {"00:1A:2B:3C:4D:01", "00:1A:2B:3C:4D:02", "00:1A:2B:3C:4D:03"})
                if (line.find(mac) != std::string::npos) byMac[mac] = line;
        }
        EXPECT_EQ(byMac.size(), 3u) << search.out;
        for (const auto& [mac, row] : byMac) {
            const auto ip = newIp.find(mac);
            text += row + "," + (ip == newIp.end() ? "" : ip->second) + ",\"see, here\"\r\n";
        }
        return text;
    }

    std::size_t SetNetworkSent() { return ReceivedByAll(net, cameras, 102); }

    lab::LabNetwork net;
    std::vector<int> cameras;
    std::string folder;
    std::vector<std::string> files;
};

TEST_F(PlanCli, APlanFromTheSearchsCsvMovesTheCamerasAndIsConfirmed) {
    const std::string plan = Write(
        FromSearch({{"00:1A:2B:3C:4D:01", "192.168.2.51"}, {"00:1A:2B:3C:4D:02", "192.168.2.52"}}));
    const std::vector<std::string> args = {"assign-ip",   "--plan",        plan,
                                           "--mask",      "255.255.255.0", "--gateway",
                                           "192.168.2.1", "--wait",        "0.5"};
    std::vector<std::string> dry = args;
    dry.push_back("--dry-run");
    const CliRun preview = RunCliHere(dry);
    EXPECT_EQ(preview.exitCode, 0) << preview.err;
    EXPECT_EQ(preview.out,
              "SN-A 00:1A:2B:3C:4D:01 192.168.2.21 -> 192.168.2.51\n"
              "SN-B 00:1A:2B:3C:4D:02 192.168.2.22 -> 192.168.2.52\n");
    EXPECT_EQ(SetNetworkSent(), 0u);

    const CliRun run = RunCliHere(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "SN-A 00:1A:2B:3C:4D:01 192.168.2.21 -> 192.168.2.51 sent\n"
              "SN-B 00:1A:2B:3C:4D:02 192.168.2.22 -> 192.168.2.52 sent\n"
              "SN-A 00:1A:2B:3C:4D:01 answers from 192.168.2.51\n"
              "SN-B 00:1A:2B:3C:4D:02 answers from 192.168.2.52\n");
    EXPECT_TRUE(HasEvent(net, cameras[0], "SN-A set-network 192.168.2.51/24"));
    EXPECT_TRUE(HasEvent(net, cameras[1], "SN-B set-network 192.168.2.52/24"));
    // One command each (multicast and broadcast) on the one link; SN-C has
    // no new_ip and is left alone.
    const auto packets = Received(net, cameras[2], 102, "multicast");
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(TextAt(packets[0].bytes, kAddressOffset), "192.168.2.51");
    EXPECT_EQ(TextAt(packets[0].bytes, kMaskOffset), "255.255.255.0");
    EXPECT_EQ(TextAt(packets[0].bytes, kGatewayOffset), "192.168.2.1");
    EXPECT_FALSE(HasEvent(net, cameras[2], "SN-C set-network 192.168.2.23/24"));
}

TEST_F(PlanCli, AnyFaultyLineStopsThePlanWithNothingSent) {
    struct Case {
        std::string plan;
        std::vector<std::string> said;  // the lines on standard error before "nothing sent"
    };
    const std::vector<Case> cases = {
        {"mac,new_ip\r\n00:1A:2B:3C:4D:01,192.168.2.51\r\n00:1A:2B:3C:4D:02,192.168.2.51\r\n"
         "00:1A:2B:3C:4D:03,192.168.2.0\r\n",
         {"line 3: new_ip 192.168.2.51 is also on line 2",
          "line 4: new_ip 192.168.2.0 is the network or broadcast address under mask "
          "255.255.255.0"}},
        {"serial,new_ip\nSN-A,192.168.2.51\nSN-Z,192.168.2.52\n",
         {"line 3: no camera answered for serial SN-Z"}},
        {"mac,new_ip,gateway\n00:1A:2B:3C:4D:01,192.168.2.51,192.168.3.1\n",
         {"line 2: gateway 192.168.3.1 is outside the network of 192.168.2.51"}},
        {"ip,new_ip\n192.168.2.21,192.168.2.51\n", {"line 1: the header has no mac or serial"}},
    };
    for (const Case& c : cases) {
        const std::string plan = Write(c.plan);
        const CliRun run = RunCliHere({"assign-ip", "--plan", plan, "--mask", "255.255.255.0",
                                       "--gateway", "192.168.2.1", "--wait", "0.5"});
        EXPECT_EQ(run.exitCode, 64) << c.plan;
        EXPECT_EQ(run.out, "");
        std::istringstream err(run.err);
        std::string line;
        for (const std::string& said : c.said) {
            ASSERT_TRUE(std::getline(err, line)) << run.err;
            EXPECT_EQ(line.rfind("vimbrel-cli: " + plan + " " + said, 0), 0u) << line;
        }
        ASSERT_TRUE(std::getline(err, line));
        EXPECT_EQ(line, "vimbrel-cli: nothing sent");
        EXPECT_FALSE(std::getline(err, line)) << run.err;
    }
    const CliRun missing = RunCliHere({"assign-ip", "--plan", folder + "/none.csv"});
    EXPECT_EQ(missing.exitCode, 64);
    const CliRun both = RunCliHere({"assign-ip", "--plan", folder + "/none.csv", "--all"});
    EXPECT_EQ(both.exitCode, 64);
    EXPECT_NE(both.err.find("the plan names the cameras"), std::string::npos) << both.err;
    EXPECT_EQ(SetNetworkSent(), 0u);
}

TEST_F(PlanCli, AnAddressAnotherHostAnswersForIsRefusedForThatCameraAlone) {
    const std::string plan = Write(
        "mac,new_ip,mask,gateway\n"
        "00:1A:2B:3C:4D:01,192.168.2.60,255.255.255.0,192.168.2.1\n"  // the host's
        "00:1A:2B:3C:4D:02,192.168.2.23,255.255.255.0,192.168.2.1\n"  // SN-C's
        "00:1A:2B:3C:4D:03,192.168.2.53,255.255.255.0,192.168.2.1\n");
    const CliRun run = RunCliHere({"assign-ip", "--plan", plan, "--wait", "0.5"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "vimbrel-cli: " + plan +
                           " line 2: SN-A 00:1A:2B:3C:4D:01 192.168.2.21: another host answers for "
                           "192.168.2.60; nothing sent to it\n"
                           "vimbrel-cli: " +
                           plan +
                           " line 3: SN-B 00:1A:2B:3C:4D:02 192.168.2.22: another host answers for "
                           "192.168.2.23; nothing sent to it\n");
    EXPECT_EQ(run.out,
              "SN-C 00:1A:2B:3C:4D:03 192.168.2.23 -> 192.168.2.53 sent\n"
              "SN-C 00:1A:2B:3C:4D:03 answers from 192.168.2.53\n");
    EXPECT_FALSE(HasEvent(net, cameras[0], "SN-A set-network 192.168.2.60/24"));
    EXPECT_EQ(Received(net, cameras[0], 102, "multicast").size(), 1u) << "SN-C's command only";
}

}  // namespace
}  // namespace vimbrel::test
