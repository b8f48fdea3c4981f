// Commands on chosen cameras from vimbrel-cli: a serial number or a MAC
// address reaches exactly its camera, an absent one gets nothing, every
// command's code and camera on the wire, the address assignment probes,
// sends, and checks the new addresses, cameras sharing a serial number are
// named, and --interface keeps to its link.
#include <gtest/gtest.h>

#include <time.h>

#include <algorithm>
#include <optional>
#include <nlohmann/json.hpp>

#include "tests/cli/cli_lab.h"
#include "tests/support/wait.h"
#include "tests/support/command_copies.h"

namespace vimbrel::test {
namespace {

// Where a command's fields lie: the target MAC's six bytes, the set-network
// texts and the serial number.
constexpr std::size_t kTargetMacOffset = 20, kMaskOffset = 88, kGatewayOffset = 120,
                      kExtraAddress1Offset = 152, kExtraAddress2Offset = 184, kSerialOffset = 248;

class CommandsCli : public ::testing::Test {
protected:
    // The private network, made only once root is known.
    void SetUp() override {
        LAB_REQUIRE_ROOT();
        net.emplace();
    }

    void AddCameras(int count) {
        link = net->AddLink("192.168.2.100/24");
        for (int i = 0; i < count; ++i) {
            lab::CameraConfig c;
            c.serial = std::string("SN-") + char('A' + i);
            c.ip = "192.168.2.2" + std::to_string(i + 1);
            c.mac = "00:1A:2B:3C:4D:0" + std::to_string(i + 1);
            cameras.push_back(net->AddCamera(link, c));
        }
    }

    std::optional<lab::LabNetwork> net;
    int link = 0;
    std::vector<int> cameras;
};

TEST_F(CommandsCli, SerialOrMacReachesExactlyThatCameraAndAnAbsentOneNothing) {
    AddCameras(2);
    net->EnterComputer();

    const CliRun reboot = RunCliHere({"reboot", "--serial", "SN-B", "--wait", "0.5"});
    EXPECT_EQ(reboot.exitCode, 0) << reboot.err;
    EXPECT_EQ(reboot.out, "reboot sent to SN-B 00:1A:2B:3C:4D:02 192.168.2.22\n");
    EXPECT_TRUE(WaitForEvent(*net, cameras[1], "SN-B reboot"));
    // Both saw the one packet (it goes to everyone); it names SN-B only.
    const auto packets = WaitForReceived(*net, cameras[0], 103, 2);
    ASSERT_EQ(packets.size(), 2u) << "multicast and broadcast, from the one link's socket";
    EXPECT_EQ(TextAt(packets[0].bytes, kSerialOffset), "SN-B");
    const auto mac = packets[0].bytes.begin() + kTargetMacOffset;
    EXPECT_EQ(std::vector<std::uint8_t>(mac, mac + 6), std::vector<std::uint8_t>(6, 0));

    const CliRun absent =
        RunCliHere({"set-model", "ZR420-2", "--mac", "00:1A:2B:3C:4D:09", "--wait", "0.5"});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_EQ(absent.out, "");
    EXPECT_EQ(absent.err,
              "vimbrel-cli: no camera answered for MAC 00:1A:2B:3C:4D:09; nothing sent to it\n");

    const CliRun mixed = RunCliHere(
        {"motor-stop", "--mac", "00:1a:2b:3c:4d:01", "--serial", "SN-Z", "--wait", "0.5"});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_EQ(mixed.out, "motor-stop sent to SN-A 00:1A:2B:3C:4D:01 192.168.2.21\n");
    EXPECT_EQ(mixed.err, "vimbrel-cli: no camera answered for serial SN-Z; nothing sent to it\n");
    EXPECT_TRUE(WaitForEvent(*net, cameras[0], "SN-A motor-stop"));

    // Each camera has both copies of the motor-stop, logged after everything
    // sent before it: had SN-A acted on the reboot, or had set-model gone
    // out, it would show by now.
    for (int camera : cameras) {
        EXPECT_EQ(WaitForReceived(*net, camera, 107, 2).size(), 2u) << "one motor-stop, for SN-A";
        EXPECT_TRUE(Received(*net, camera, 105).empty()) << "set-model went to an absent camera";
    }
    EXPECT_FALSE(HasEvent(*net, cameras[0], "SN-A reboot"));
}

// Every command from the command line on the wire: its code as the four
// bytes at offset 0, the camera it names at its offset (the serial number at
// 248, zero-filled to 280, or the MAC at 20), nothing at the other's, each
// exactly once per camera by multicast and then by broadcast. A swap of two
// codes (a motor start sent as a factory reset) fails here.
TEST_F(CommandsCli, EveryCommandGoesOutWithItsCodeAndItsCamera) {
    AddCameras(2);
    net->EnterComputer();
    struct Case {
        std::vector<std::string> args;
        std::uint8_t code;
        const char* event;  // what SN-B's simulator did
    };
    const Case cases[] = {
        {{"factory-reset", "--serial", "SN-B"}, 104, "SN-B factory-reset 192.168.2.22/24"},
        {{"motor-start", "--serial", "SN-B"}, 106, "SN-B motor-start"},
        {{"motor-stop", "--serial", "SN-B"}, 107, "SN-B motor-stop"},
        {{"set-model", "ZR420-2", "--mac", "00:1A:2B:3C:4D:02"}, 105, "SN-B set-model"},
        {{"assign-ip", "--start", "192.168.2.60", "--mask", "255.255.255.0", "--gateway",
          "192.168.2.1", "--mac", "00:1A:2B:3C:4D:02"},
         102,
         "SN-B set-network 192.168.2.60/24"},
        {{"reboot", "--serial", "SN-B"}, 103, "SN-B reboot"},  // last: it goes silent
    };
    std::size_t before = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--wait", "0.5"});
        const CliRun run = RunCliHere(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(WaitForEvent(*net, cameras[1], c.event));
        std::vector<lab::LoggedDatagram> sent;
        WaitUntil([&] { return (sent = CommandsReceived(*net, cameras[0])).size() >= before + 2; });
        ASSERT_EQ(sent.size(), before + 2) << "one command, two copies";
        const auto& multicast = sent[before];
        const auto& broadcast = sent[before + 1];
        before = sent.size();
        ExpectCommandCopies(
            multicast, broadcast,
            {c.code, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x02}, "SN-B", "ZR420-2", "192.168.2.60"});
    }
    for (const char* other : {"SN-A factory-reset", "SN-A motor-start", "SN-A reboot"})
        for (const std::string& event : net->CameraEvents(cameras[0]))
            EXPECT_EQ(event.rfind(other, 0), std::string::npos) << event;
}

TEST_F(CommandsCli, AssignsFreeAddressesWithoutRootAndFindsTheCamerasThere) {
    AddCameras(3);
    net->AddHost(link, "192.168.2.10/24");
    net->AddHost(link, "192.168.2.12/24");
    net->EnterComputer();
    const std::vector<std::string> plan = {"assign-ip",
                                           "--start",
                                           "192.168.2.10",
                                           "--mask",
                                           "255.255.255.0",
                                           "--gateway",
                                           "192.168.2.1",
                                           "--mac",
                                           "00:1A:2B:3C:4D:03",
                                           "--mac",
                                           "00:1A:2B:3C:4D:01",
                                           "--serial",
                                           "SN-B",
                                           "--wait",
                                           "0.5"};

    std::vector<std::string> dryRun = plan;
    dryRun.push_back("--dry-run");
    const CliRun dry = RunCliHere(dryRun);
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_EQ(dry.out,
              "SN-C 00:1A:2B:3C:4D:03 192.168.2.23 would get 192.168.2.11\n"
              "SN-A 00:1A:2B:3C:4D:01 192.168.2.21 would get 192.168.2.13\n"
              "SN-B 00:1A:2B:3C:4D:02 192.168.2.22 would get 192.168.2.14\n");
    std::vector<std::string> nearTheEnd = dryRun;
    nearTheEnd[2] = "192.168.2.253";  // .253, .254, and .255 is the broadcast address
    const CliRun tooFew = RunCliHere(nearTheEnd);
    EXPECT_EQ(tooFew.exitCode, 1);
    EXPECT_EQ(tooFew.out,
              "SN-C 00:1A:2B:3C:4D:03 192.168.2.23 would get 192.168.2.253\n"
              "SN-A 00:1A:2B:3C:4D:01 192.168.2.21 would get 192.168.2.254\n");
    EXPECT_EQ(tooFew.err,
              "vimbrel-cli: SN-B 00:1A:2B:3C:4D:02 192.168.2.22: no free address left; "
              "nothing sent to it\n");
    for (int camera : cameras) EXPECT_TRUE(Received(*net, camera, 102).empty());

    const CliRun run = RunCliProgram(plan, 65534);  // nobody: the probe's unprivileged path
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "SN-C 00:1A:2B:3C:4D:03 192.168.2.23 -> 192.168.2.11 sent\n"
              "SN-A 00:1A:2B:3C:4D:01 192.168.2.21 -> 192.168.2.13 sent\n"
              "SN-B 00:1A:2B:3C:4D:02 192.168.2.22 -> 192.168.2.14 sent\n"
              "SN-C 00:1A:2B:3C:4D:03 answers from 192.168.2.11\n"
              "SN-A 00:1A:2B:3C:4D:01 answers from 192.168.2.13\n"
              "SN-B 00:1A:2B:3C:4D:02 answers from 192.168.2.14\n");
    EXPECT_TRUE(WaitForEvent(*net, cameras[2], "SN-C set-network 192.168.2.11/24"));
    const auto packets = WaitForReceived(*net, cameras[0], 102, 3, "multicast");
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(TextAt(packets[0].bytes, kMaskOffset), "255.255.255.0");
    EXPECT_EQ(TextAt(packets[0].bytes, kGatewayOffset), "192.168.2.1");
    EXPECT_EQ(TextAt(packets[0].bytes, kExtraAddress1Offset), "192.168.2.1");
    EXPECT_EQ(TextAt(packets[0].bytes, kExtraAddress2Offset), "0.0.0.0");
}

// A command by serial number reaches every camera that reports it: the
// command line says which others receive it too.
TEST_F(CommandsCli, CamerasSharingASerialNumberAreNamedInAWarning) {
    AddCameras(2);
    lab::CameraConfig twin;
    twin.serial = "SN-A";
    twin.ip = "192.168.2.29";
    twin.mac = "00:1A:2B:3C:4D:09";
    cameras.push_back(net->AddCamera(link, twin));
    net->EnterComputer();

    const CliRun run = RunCliHere({"motor-start", "--mac", "00:1A:2B:3C:4D:01", "--wait", "0.5"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "motor-start sent to SN-A 00:1A:2B:3C:4D:01 192.168.2.21\n");
    EXPECT_EQ(run.err,
              "vimbrel-cli: warning: SN-A 00:1A:2B:3C:4D:09 192.168.2.29 reports the same serial "
              "number and receives it too\n");
    EXPECT_TRUE(WaitForEvent(*net, cameras[0], "SN-A motor-start"));
    EXPECT_TRUE(WaitForEvent(*net, cameras[2], "SN-A motor-start"));
}

// --interface: the search and the command go out on that address's link
// only; a camera on another link is neither listed nor sent to.
TEST_F(CommandsCli, InterfaceKeepsSearchAndCommandsToItsLink) {
    AddCameras(1);
    lab::CameraConfig other;
    other.serial = "SN-X";
    other.ip = "192.168.3.21";
    other.mac = "00:1A:2B:3C:4D:0F";
    const int elsewhere = net->AddCamera(net->AddLink("192.168.3.100/24"), other);
    net->EnterComputer();

    const CliRun search =
        RunCliHere({"--interface", "192.168.3.100", "search", "--format", "csv", "--wait", "0.5"});
    EXPECT_EQ(search.exitCode, 0) << search.err;
    EXPECT_NE(search.out.find("SN-X"), std::string::npos) << search.out;
    EXPECT_EQ(search.out.find("SN-A"), std::string::npos) << search.out;

    const CliRun all =
        RunCliHere({"--interface", "192.168.3.100", "motor-stop", "--all", "--wait", "0.5"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out, "motor-stop sent to SN-X 00:1A:2B:3C:4D:0F 192.168.3.21\n");
    EXPECT_EQ(WaitForReceived(*net, elsewhere, 107, 2).size(), 2u);
    // Then a command on the first link: everything the camera there got
    // came after the runs on the other link.
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const double firstLinkRun = static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
    const CliRun first = RunCliHere({"reboot", "--serial", "SN-A", "--wait", "0.5"});
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(WaitForReceived(*net, cameras[0], 103, 2).size(), 2u);
    for (const auto& datagram : net->CameraLog(cameras[0]))
        EXPECT_GT(datagram.time, firstLinkRun) << datagram.kind;
}

}  // namespace
}  // namespace vimbrel::test
