// Usage errors of vimbrel-cli: exit 64, one line on standard error, nothing
// sent; help and version.
#include <gtest/gtest.h>

#include "tests/cli/cli_lab.h"

namespace vimbrel::test {
namespace {

TEST(UsageCli, BadInputExitsSixtyFourWithOneLineAndSendsNothing) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    const int camera = net.AddCamera(net.AddLink("192.168.2.100/24"), lab::CameraConfig{});
    net.EnterComputer();
    const std::vector<std::string> assign = {"assign-ip", "--all",       "--start", "192.168.2.10",
                                             "--gateway", "192.168.2.1", "--mask"};
    auto withMask = [&](const char* mask) {
        std::vector<std::string> args = assign;
        args.push_back(mask);
        return args;
    };
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"reboot"},
        {"reboot", "--mac", "00:1A:2B:3C:4D"},
        {"reboot", "--mac", "00:1A:2B:3C:4D:0G"},
        {"reboot", "--mac", "00:1A:2B:3C:4D:01:02"},
        {"reboot", "--all", "--serial", "SN0001"},
        {"reboot", "--serial", ""},
        {"factory-reset", "--all"},
        {"set-model", "zr420", "--all"},
        {"set-model", "ZR420 ", "--all"},
        {"set-model", "ZR420-3", "--all"},
        {"set-model", "--all"},
        withMask("255.0.255.0"),
        withMask("0.0.0.0"),
        withMask("255.255.255.256"),
        {"assign-ip", "--all", "--start", "192.168.2", "--mask", "255.255.255.0", "--gateway",
         "192.168.2.1"},
        {"assign-ip", "--all", "--start", "192.168.2.10", "--mask", "255.255.255.0"},
        {"assign-ip", "--all", "--start", "192.168.2.10", "--mask", "255.255.255.0", "--gateway",
         "192.168.3.1"},
        {"search", "--format", "xml"},
        {"search", "--wait", "0"},
        {"search", "--wait", "soon"},
        {"search", "--interface", "10.9.9.9"},
        {"search", "--interface", "192.168.2"},
        {"--interface", "192.168.2.1", "search"},
    };
    for (const auto& args : bad) {
        std::string shown;
        for (const auto& a : args) shown += " '" + a + "'";
        const CliRun run = RunCliHere(args);
        EXPECT_EQ(run.exitCode, 64) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_EQ(run.err.rfind("vimbrel-cli: ", 0), 0u) << shown << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown << ": " << run.err;
    }
    // As its own program too: the exit code reaches the shell.
    EXPECT_EQ(RunCliProgram({"set-model", "ZR999", "--all"}, 0).exitCode, 64);
    EXPECT_TRUE(net.CameraLog(camera).empty()) << "not even a search went out";
}

TEST(UsageCli, HelpForEverySubcommandAndTheVersion) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    net.EnterComputer();
    for (const char* command : {"search", "reboot", "factory-reset", "motor-start", "motor-stop",
                                "set-model", "assign-ip"}) {
        const CliRun run = RunCliHere({command, "--help"});
        EXPECT_EQ(run.exitCode, 0) << command;
        EXPECT_NE(run.out.find(std::string("Usage: vimbrel-cli ") + command), std::string::npos)
            << run.out;
    }
    const CliRun version = RunCliProgram({"--version"}, 0);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("vimbrel-cli ", 0), 0u) << version.out;
}

}  // namespace
}  // namespace vimbrel::test
