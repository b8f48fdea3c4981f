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

// Input that would reach a camera unfit: refused before anything is sent,
// with the exit code and a line that says what is wrong.
TEST(UsageCli, InputThatWouldReachACameraUnfitIsRefused) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    const int camera = net.AddCamera(net.AddLink("192.168.2.100/24"), lab::CameraConfig{});
    net.EnterComputer();
    auto assign = [](const char* start, const char* mask, const char* gateway) {
        return std::vector<std::string>{"assign-ip", "--all", "--start",   start,
                                        "--mask",    mask,    "--gateway", gateway};
    };
    struct Case {
        std::vector<std::string> args;
        const char* said;
    };
    const std::string longSerial(10240, 'S');
    const Case cases[] = {
        {{"search", "--wait", "nan"}, "not a finite number"},
        {{"search", "--wait", "-nan"}, "not a finite number"},
        {{"search", "--wait", "inf"}, "not a finite number"},
        {{"reboot", "--all", "--wait", "1e999"}, "not a finite number"},
        {{"search", "--wait", "0.1abc"}, "'0.1abc' is not a number"},
        {{"search", "--wait", ""}, "'' is not a number"},
        {{"search", "--wait", " 2"}, "is not a number"},
        {{"search", "--wait", "601"}, "outside 0.1 to 600"},
        {{"search", "--rounds", "0"}, "'0' is outside 1 to 10"},
        {{"reboot", "--all", "--rounds", "11"}, "'11' is outside 1 to 10"},
        {{"search", "--rounds", "2.5"}, "'2.5' is not a whole number"},
        {{"frobnicate"}, "unknown subcommand 'frobnicate'"},
        {{"--interface", "192.168.2.100", "frobnicate", "--all"}, "unknown subcommand"},
        {assign("224.0.0.1", "255.255.255.0", "224.0.0.254"), "start address 224.0.0.1"},
        {assign("240.0.0.1", "255.255.255.0", "240.0.0.254"), "start address 240.0.0.1"},
        {assign("255.255.255.1", "255.255.255.0", "255.255.255.2"), "start address"},
        {assign("127.0.0.5", "255.255.255.0", "127.0.0.1"), "start address 127.0.0.5"},
        {assign("0.0.0.0", "255.0.0.0", "0.0.0.1"), "start address 0.0.0.0"},
        {assign("192.168.2.255", "255.255.255.0", "192.168.2.1"), "broadcast address"},
        {assign("192.168.2.10", "255.255.255.0", "192.168.2.0"), "gateway 192.168.2.0"},
        {assign("192.168.2.10", "255.255.255.0", "224.111.111.1"), "gateway 224.111.111.1"},
        {assign("192.168.2.10", "255.255.255.255", "192.168.2.1"), "leaves no address"},
        {assign("192.168.2.10", "255.255.255.254", "192.168.2.11"), "leaves no address"},
        {{"reboot", "--serial", longSerial}, "longer than a camera's serial field"},
        {{"reboot", "--serial", std::string(32, 'S')}, "longer than a camera's serial field"},
        // 16 characters of two bytes each in GBK: 32 bytes, no room for the end.
        {{"reboot", "--serial",
          "\xE4\xB8\xAD\xE6\x96\x87\xE5\xBA\x8F\xE5\x88\x97"
          "\xE5\x8F\xB7\xE4\xB8\xAD\xE6\x96\x87\xE5\xBA\x8F"
          "\xE5\x88\x97\xE5\x8F\xB7\xE4\xB8\xAD\xE6\x96\x87"
          "\xE5\xBA\x8F\xE5\x88\x97\xE5\x8F\xB7\xE4\xB8\xAD"},
         "longer than a camera's serial field"},
        {{"reboot", "--serial", "SN\xFF\xFE"}, "not valid UTF-8"},
        {{"reboot", "--mac", "SN\x01\x1B[31m"}, "malformed MAC address"},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const auto& a : c.args) shown += " '" + a.substr(0, 40) + "'";
        const CliRun run = RunCliHere(c.args);
        EXPECT_EQ(run.exitCode, 64) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << shown << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown;
        EXPECT_LT(run.err.size(), 600u) << shown;
        for (const char control : {'\x01', '\x1B'})
            EXPECT_EQ(run.err.find(control), std::string::npos) << shown;
    }
    EXPECT_TRUE(net.CameraLog(camera).empty()) << "not even a search went out";

    // What fits is searched for, and the missing camera named with its
    // control characters shown, not sent to the terminal.
    const CliRun fits = RunCliHere({"reboot", "--wait", "0.3", "--serial", "SN\x01\x1B[31m"});
    EXPECT_EQ(fits.exitCode, 1) << fits.err;
    EXPECT_NE(fits.err.find("serial SN\uFFFD\uFFFD[31m"), std::string::npos) << fits.err;
    EXPECT_EQ(RunCliHere({"reboot", "--wait", "0.3", "--serial", std::string(30, 'S')}).exitCode,
              1);
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
