// vimbrel-cli refuses to move cameras off the network they answered through
// unless told --yes, for assign-ip and its --plan alike; and a search that
// could not go out says why instead of "no camera answered".
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "tests/cli/cli_lab.h"
#include "tests/support/wait.h"

namespace vimbrel::test {
namespace {

// The demo's two links: SN-A and SN-B answer through 192.168.2.100, SN-C
// through 192.168.3.100.
class OffLinkCli : public ::testing::Test {
protected:
    void SetUp() override {
        LAB_REQUIRE_ROOT();
        const int link1 = net.AddLink("192.168.2.100/24");
        const int link2 = net.AddLink("192.168.3.100/24");
        for (int i = 0; i < 3; ++i) {
            lab::CameraConfig c;
            c.serial = std::string("SN-") + char('A' + i);
            c.ip = (i < 2 ? "192.168.2.2" : "192.168.3.2") + std::to_string(i + 1);
            c.mac = "00:1A:2B:3C:4D:0" + std::to_string(i + 1);
            cameras.push_back(net.AddCamera(i < 2 ? link1 : link2, c));
        }
        net.EnterComputer();
    }

    std::size_t SetNetworkSent() { return ReceivedByAll(net, cameras, 102); }

    lab::LabNetwork net;
    std::vector<int> cameras;
};

const char* const kWarning =
    "vimbrel-cli: 1 camera(s) answered through 192.168.3.100; their new addresses are outside "
    "that network, so this computer will not reach them directly after the assignment.\n"
    "  SN-C 00:1A:2B:3C:4D:03 192.168.3.23\n";

TEST_F(OffLinkCli, AssignIpRefusesUnlessYesAndDryRunShowsIt) {
    const std::vector<std::string> assign = {
        "assign-ip",     "--all",     "--start",     "192.168.2.30", "--mask",
        "255.255.255.0", "--gateway", "192.168.2.1", "--wait",       "0.5"};
    const CliRun refused = RunCliHere(assign);
    EXPECT_EQ(refused.exitCode, 64);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, std::string(kWarning) +
                               "vimbrel-cli: nothing sent; give --yes to assign them all the "
                               "same\n");

    std::vector<std::string> dry = assign;
    dry.push_back("--dry-run");
    const CliRun shown = RunCliHere(dry);
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.err, kWarning);
    EXPECT_NE(shown.out.find("SN-C 00:1A:2B:3C:4D:03 192.168.3.23 would get 192.168.2."),
              std::string::npos)
        << shown.out;
    EXPECT_EQ(SetNetworkSent(), 0u);

    // The same cameras staying on their own network: nothing to warn of.
    std::vector<std::string> onLink = {"assign-ip",    "--serial", "SN-A",          "--start",
                                       "192.168.2.30", "--mask",   "255.255.255.0", "--gateway",
                                       "192.168.2.1",  "--wait",   "0.5",           "--dry-run"};
    const CliRun quiet = RunCliHere(onLink);
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "");

    std::vector<std::string> yes = assign;
    yes.push_back("--yes");
    const CliRun moved = RunCliHere(yes);
    EXPECT_EQ(moved.err.rfind(kWarning, 0), 0u) << moved.err;
    EXPECT_NE(moved.out.find("SN-C 00:1A:2B:3C:4D:03 192.168.3.23 -> 192.168.2."),
              std::string::npos)
        << moved.out;
    EXPECT_TRUE(WaitUntil([&] { return Received(net, cameras[2], 102).size() >= 2; }));
}

TEST_F(OffLinkCli, APlanRefusesLinesLeavingTheirNetworkUnlessYes) {
    char dir[] = "/tmp/vimbrel-offlink-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string file = std::string(dir) + "/plan.csv";
    std::ofstream(file) << "mac,new_ip,mask,gateway\n"
                           "00:1A:2B:3C:4D:01,192.168.2.41,255.255.255.0,192.168.2.1\n"
                           "00:1A:2B:3C:4D:03,192.168.2.43,255.255.255.0,192.168.2.1\n";
    const CliRun refused = RunCliHere({"assign-ip", "--plan", file, "--wait", "0.5"});
    EXPECT_EQ(refused.exitCode, 64);
    EXPECT_EQ(refused.err, std::string(kWarning) +
                               "vimbrel-cli: nothing sent; give --yes to assign them all the "
                               "same\n");
    EXPECT_EQ(SetNetworkSent(), 0u);

    const CliRun moved = RunCliHere({"assign-ip", "--plan", file, "--wait", "0.5", "--yes"});
    EXPECT_NE(moved.out.find("SN-C 00:1A:2B:3C:4D:03 192.168.3.23 -> 192.168.2.43 sent"),
              std::string::npos)
        << moved.out << moved.err;
    EXPECT_TRUE(WaitUntil([&] { return Received(net, cameras[2], 102).size() >= 2; }));
    std::remove(file.c_str());
    rmdir(dir);
}

// No address to search from (no link, loopback down): said, exit 1, never
// the "no camera answered" of exit 2, for a search and a command's search.
TEST(SearchNotSentCli, NoLocalAddressIsSaidAndExitsOne) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    net.SetLoopback(false);
    net.EnterComputer();
    const CliRun run = RunCliHere({"search", "--wait", "0.3"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "vimbrel-cli: no local address to search from\n");
    const CliRun reboot = RunCliHere({"reboot", "--all", "--wait", "0.3"});
    EXPECT_EQ(reboot.exitCode, 1);
    EXPECT_EQ(reboot.err, "vimbrel-cli: no local address to search from\n");
}

}  // namespace
}  // namespace vimbrel::test
