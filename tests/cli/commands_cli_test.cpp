// Commands on chosen cameras from vimbrel-cli: a serial number or a MAC
// address reaches exactly its camera, an absent one gets nothing, and the
// address assignment probes, sends, and checks the new addresses.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "tests/cli/cli_lab.h"
#include "tests/support/wait.h"

namespace vimbrel::test {
namespace {

// Where a command's fields lie: the target MAC's six bytes, the set-network
// texts and the serial number.
constexpr std::size_t kTargetMacOffset = 20, kMaskOffset = 88, kGatewayOffset = 120,
                      kExtraAddress1Offset = 152, kExtraAddress2Offset = 184, kSerialOffset = 248;

class CommandsCli : public ::testing::Test {
protected:
    void AddCameras(int count) {
        link = net.AddLink("192.168.2.100/24");
        for (int i = 0; i < count; ++i) {
            lab::CameraConfig c;
            c.serial = std::string("SN-") + char('A' + i);
            c.ip = "192.168.2.2" + std::to_string(i + 1);
            c.mac = "00:1A:2B:3C:4D:0" + std::to_string(i + 1);
            cameras.push_back(net.AddCamera(link, c));
        }
    }

    lab::LabNetwork net;
    int link = 0;
    std::vector<int> cameras;
};

TEST_F(CommandsCli, SerialOrMacReachesExactlyThatCameraAndAnAbsentOneNothing) {
    LAB_REQUIRE_ROOT();
    AddCameras(2);
    net.EnterComputer();

    const CliRun reboot = RunCliHere({"reboot", "--serial", "SN-B", "--wait", "0.5"});
    EXPECT_EQ(reboot.exitCode, 0) << reboot.err;
    EXPECT_EQ(reboot.out, "reboot sent to SN-B 00:1A:2B:3C:4D:02 192.168.2.22\n");
    // Both see the one packet (it goes to everyone), once its two copies are
    // logged; it names SN-B only.
    std::vector<lab::LoggedDatagram> packets;
    WaitUntil([&] { return (packets = Received(net, cameras[0], 103)).size() >= 2; });
    EXPECT_TRUE(WaitUntil([&] { return HasEvent(net, cameras[1], "SN-B reboot"); }));
    EXPECT_FALSE(HasEvent(net, cameras[0], "SN-A reboot"));
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
    EXPECT_TRUE(WaitUntil([&] { return HasEvent(net, cameras[0], "SN-A motor-stop"); }));

    for (int camera : cameras) {
        EXPECT_TRUE(Received(net, camera, 105).empty()) << "set-model went to an absent camera";
        WaitUntil([&] { return Received(net, camera, 107).size() >= 2; });
        EXPECT_EQ(Received(net, camera, 107).size(), 2u) << "one motor-stop, for SN-A only";
    }
}

TEST_F(CommandsCli, AssignsFreeAddressesWithoutRootAndFindsTheCamerasThere) {
    LAB_REQUIRE_ROOT();
    AddCameras(3);
    net.AddHost(link, "192.168.2.10/24");
    net.AddHost(link, "192.168.2.12/24");
    net.EnterComputer();
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
    for (int camera : cameras) EXPECT_TRUE(Received(net, camera, 102).empty());

    const CliRun run = RunCliProgram(plan, 65534);  // nobody: the probe's unprivileged path
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "SN-C 00:1A:2B:3C:4D:03 192.168.2.23 -> 192.168.2.11 sent\n"
              "SN-A 00:1A:2B:3C:4D:01 192.168.2.21 -> 192.168.2.13 sent\n"
              "SN-B 00:1A:2B:3C:4D:02 192.168.2.22 -> 192.168.2.14 sent\n"
              "SN-C 00:1A:2B:3C:4D:03 answers from 192.168.2.11\n"
              "SN-A 00:1A:2B:3C:4D:01 answers from 192.168.2.13\n"
              "SN-B 00:1A:2B:3C:4D:02 answers from 192.168.2.14\n");
    EXPECT_TRUE(HasEvent(net, cameras[2], "SN-C set-network 192.168.2.11/24"));
    const auto packets = Received(net, cameras[0], 102, "multicast");
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(TextAt(packets[0].bytes, kMaskOffset), "255.255.255.0");
    EXPECT_EQ(TextAt(packets[0].bytes, kGatewayOffset), "192.168.2.1");
    EXPECT_EQ(TextAt(packets[0].bytes, kExtraAddress1Offset), "192.168.2.1");
    EXPECT_EQ(TextAt(packets[0].bytes, kExtraAddress2Offset), "0.0.0.0");
}

}  // namespace
}  // namespace vimbrel::test
