// vimbrel-cli when things go wrong underneath it: replies lost to a flood
// (exit 3 and how many), a command whose sends fail (said for its camera,
// exit 1), a camera that keeps its old address after assign-ip (named,
// exit 1).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/types.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "tests/cli/cli_lab.h"
#include "tests/support/camera_log.h"
#include "tests/support/wait.h"

namespace vimbrel::test {
namespace {

using namespace std::chrono_literals;

std::size_t CountLines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The count of UDP datagrams the computer's namespace delivered to a socket.
long UdpDelivered(const lab::LabNetwork& net) {
    std::istringstream snmp(net.RunInComputer({"cat", "/proc/net/snmp"}));
    std::string titles, values;
    while (std::getline(snmp, titles) && titles.rfind("Udp: ", 0) != 0) {
    }
    std::getline(snmp, values);
    std::istringstream t(titles), v(values);
    for (std::string title, value; t >> title && v >> value;)
        if (title == "InDatagrams") return std::stol(value);
    return -1;
}

// The process is stopped while a flood fills its socket: the system drops
// what does not fit and counts it; once it runs again the search lists what
// came through, says how many were lost and exits 3.
TEST(FailuresCli, RepliesLostToAFloodExitThreeAndSayHowMany) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    const int link = net.AddLink("192.168.2.100/24");
    const std::string host = net.AddHost(link, "192.168.2.200");
    net.EnterComputer();
    CliRun run;
    std::thread cli([&] { run = RunCliProgram({"search", "--wait", "6", "--format", "csv"}, 0); });

    // Its socket, once open: the port and the process.
    const std::regex socket("192\\.168\\.2\\.100:([0-9]+) .*pid=([0-9]+),");
    std::smatch found;
    std::string table;
    const bool open = WaitUntil([&] {
        table = net.RunInComputer({"ss", "-Hunap"});
        return std::regex_search(table, found, socket);
    });
    if (!open) {
        cli.join();
        FAIL() << "no socket of vimbrel-cli: " << table;
    }
    const pid_t cliProcess = std::stoi(found[2]);
    constexpr long kFlood = 20000;  // more than its 4 MiB buffer holds
    std::string flooded;
    if (kill(cliProcess, SIGSTOP) == 0) {
        try {
            net.RunInHost(host, {VIMBREL_FLOOD, "--to", "192.168.2.100:" + found[1].str(), "--rate",
                                 "100000", "--count", std::to_string(kFlood)});
            flooded = "yes";
        } catch (const std::exception& e) {
            flooded = e.what();
        }
        kill(cliProcess, SIGCONT);
    }
    cli.join();
    ASSERT_EQ(flooded, "yes");

    EXPECT_EQ(run.exitCode, 3) << run.err;
    std::smatch said;
    const std::regex lost(
        "^vimbrel-cli: ([0-9]+) replies were lost \\(too many at once\\); the list may be "
        "incomplete\n");
    ASSERT_TRUE(std::regex_search(run.err, said, lost)) << run.err;
    const long dropped = std::stol(said[1]);
    const long listed = static_cast<long>(CountLines(run.out)) - 1;  // below the header
    EXPECT_GT(dropped, 0);
    EXPECT_GT(listed, 0) << "what the socket held is listed";
    EXPECT_LE(listed + dropped, kFlood);
}

// The camera answered, then the computer's address went: the command has no
// socket to go out on, and the command line says so for its camera.
TEST(FailuresCli, ACommandThatCouldNotBeSentIsSaidAndExitsOne) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    const int link = net.AddLink("192.168.2.100/24");
    net.AddCamera(link, lab::CameraConfig{});
    net.EnterComputer();
    const long before = UdpDelivered(net);
    CliRun run;
    std::thread cli([&] {
        run = RunCliHere({"reboot", "--serial", "SN0001", "--interface", "192.168.2.100",
                          "--rounds", "1", "--wait", "3"});
    });
    // The camera's reply is in the search's socket: then the address goes.
    bool answered = false;
    std::string device, failed;
    try {
        answered = WaitUntil([&] { return UdpDelivered(net) > before; });
        std::istringstream addresses(net.RunInComputer({"ip", "-o", "-4", "addr", "show"}));
        for (std::string line; std::getline(addresses, line);)
            if (line.find(" 192.168.2.100/24 ") != std::string::npos) {
                std::istringstream words(line);
                words >> device >> device;
            }
        if (answered && !device.empty())
            net.RunInComputer({"ip", "addr", "del", "192.168.2.100/24", "dev", device});
    } catch (const std::exception& e) {
        failed = e.what();
    }
    cli.join();
    ASSERT_EQ(failed, "");
    ASSERT_TRUE(answered) << "no reply came";
    ASSERT_FALSE(device.empty());

    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("vimbrel-cli: SN0001 00:1A:2B:3C:4D:01 192.168.2.10: the command "
                           "could not be sent"),
              std::string::npos)
        << run.err;
}

// assign-ip searches again until the cameras answer from their new
// addresses: the one that kept its old address is named and the run exits 1.
TEST(FailuresCli, ACameraThatKeepsItsOldAddressIsNamedAndExitsOne) {
    LAB_REQUIRE_ROOT();
    lab::LabNetwork net;
    const int link = net.AddLink("192.168.2.100/24");
    lab::CameraConfig moves;
    moves.serial = "SN-A";
    moves.ip = "192.168.2.21";
    const int a = net.AddCamera(link, moves);
    lab::CameraConfig stays;
    stays.serial = "SN-B";
    stays.ip = "192.168.2.22";
    stays.mac = "00:1A:2B:3C:4D:02";
    stays.extraArgs = {"--ignore", "set-network"};
    const int b = net.AddCamera(link, stays);
    net.EnterComputer();

    const CliRun run =
        RunCliHere({"assign-ip", "--start", "192.168.2.60", "--mask", "255.255.255.0", "--gateway",
                    "192.168.2.1", "--serial", "SN-A", "--serial", "SN-B", "--wait", "0.5"});
    const std::string moved = EventStartingWith(net, a, "SN-A set-network ");
    const std::string ignored = EventStartingWith(net, b, "SN-B ignored set-network ");
    ASSERT_NE(moved, "");
    ASSERT_NE(ignored, "") << "SN-B got its command";
    // "192.168.2.6x/24" of each event.
    const auto address = [](const std::string& event) {
        const std::size_t from = event.rfind(' ') + 1;
        return event.substr(from, event.find('/') - from);
    };
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.out.find("SN-A 00:1A:2B:3C:4D:01 answers from " + address(moved) + "\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.err,
              "vimbrel-cli: SN-B 00:1A:2B:3C:4D:02 did not answer from " + address(ignored) + "\n");
}

}  // namespace
}  // namespace vimbrel::test
