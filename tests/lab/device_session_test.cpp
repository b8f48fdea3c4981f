// The device session on real sockets in the private network: a search fills
// its table with each camera once, known by the local address it answered
// on, and a plan's command reaches the camera it names with its identity.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "session/device_session.h"
#include "tests/support/camera_log.h"
#include "tests/support/wait.h"
#include "tools/lab/lab_network.h"

namespace vimbrel::lab {
namespace {

// Offsets of a command datagram's fields and the codes, pinned here, not
// taken from the code under test.
constexpr std::size_t kSerialOffset = 248, kMacOffset = 20;
constexpr std::int32_t kMotorStop = 107, kSetModel = 105;

class Quiet : public PlanProgress {
public:
    void Done(std::size_t, const TargetOutcome&) override {}
};

// The targets done, in order; a cancel from the given call of Cancelled on.
class Recorder : public PlanProgress {
public:
    explicit Recorder(int cancelFromCall = 1 << 30) : m_cancelFromCall(cancelFromCall) {}
    void Done(std::size_t target, const TargetOutcome& outcome) override {
        done.push_back(target);
        sent += outcome.outcome == Outcome::kSent ? 1 : 0;
    }
    bool Cancelled() override { return ++m_calls >= m_cancelFromCall; }
    std::vector<std::size_t> done;
    std::size_t sent = 0;

private:
    int m_cancelFromCall;
    int m_calls = 0;
};

// The serial number a simulator playing many cameras gives camera i.
std::string Serial(std::size_t camera) {
    char text[16];
    std::snprintf(text, sizeof text, "SN0001-%04zu", camera + 1);
    return text;
}

TEST(DeviceSessionLab, TableOfTwoLinksAndAPlanThatReachesItsCamera) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    CameraConfig config;
    config.serial = "SN-A";
    config.mac = "00:1A:2B:3C:4D:0A";
    const int a = lab.AddCamera(lab.AddLink("192.168.2.100/24"), config);
    config.serial = "SN-B";
    config.ip = "192.168.3.20";
    config.mac = "00:1A:2B:3C:4D:0B";
    lab.AddCamera(lab.AddLink("192.168.3.100/24"), config);
    lab.EnterComputer();
    RequirePrivateNetwork();

    DeviceSession session;
    session.Start(nullptr);
    session.ClearTable(true);
    ASSERT_GT(session.SendSearch(session.TakeSendTurn()).sent, 0u);
    test::WaitUntil([&] {
        session.TakeReplies(std::chrono::steady_clock::now(), nullptr);
        return session.Table().Rows().size() >= 2;
    });
    ASSERT_EQ(session.Table().Rows().size(), 2u);  // each answered twice, listed once
    for (const TableRow& row : session.Table().Rows()) {
        const std::uint32_t expected = row.device.serial == L"SN-A" ? 0xC0A80264 : 0xC0A80364;
        EXPECT_EQ(row.localAddress, expected) << row.device.ip;
    }

    const CommandPlan plan = PlanCommand(protocol::CMD_MOTOR_STOP, {{L"SN-A", L""}});
    Quiet quiet;
    const auto outcomes = session.RunCommand(plan, quiet);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].outcome, Outcome::kSent);
    std::vector<LoggedDatagram> got;
    test::WaitUntil([&] { return (got = test::Received(lab, a, kMotorStop)).size() >= 2; });
    ASSERT_EQ(got.size(), 2u);  // the multicast and the broadcast
    EXPECT_EQ(test::TextAt(got[0].bytes, kSerialOffset), "SN-A");

    const MacPlan byMac = PlanByMac({{L"SN-A", L"00:1A:2B:3C:4D:0A"}});
    session.RunSetModel(byMac, "ZR4500-1", quiet);
    std::vector<LoggedDatagram> model;
    test::WaitUntil([&] { return !(model = test::Received(lab, a, kSetModel)).empty(); });
    ASSERT_FALSE(model.empty());
    EXPECT_EQ(std::vector<std::uint8_t>(model[0].bytes.begin() + kMacOffset,
                                        model[0].bytes.begin() + kMacOffset + 6),
              (std::vector<std::uint8_t>{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x0A}));
    session.Stop();
    EXPECT_TRUE(session.ReceiveThreadExited());
}

// A batch of 200 reboots, by serial number, as the cameras receive it: each
// camera once by multicast and once by broadcast, multicast first and at
// least 45 ms apart on its side; every multicast copy before every broadcast
// copy, both in the plan's order. A cancel after the first slice (64
// datagrams on the one socket) still sends those 64 cameras their broadcast
// copies and nothing to the others.
TEST(DeviceSessionLab, ABatchGoesOutInOneSweepEachCameraItsTwoCopiesInOrder) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    CameraConfig config;
    config.count = 200;
    const int cameras = lab.AddCamera(lab.AddLink("192.168.2.100/24"), config);
    lab.EnterComputer();
    RequirePrivateNetwork();

    // The pauses the sweep takes, waited out for real.
    std::vector<int> pauses;
    DeviceSession session(platform::SocketAddresses, [&](std::chrono::milliseconds pause) {
        pauses.push_back(static_cast<int>(pause.count()));
        std::this_thread::sleep_for(pause);
    });
    session.Start(nullptr);
    std::vector<PlanDevice> devices;
    for (std::size_t i = 0; i < 200; ++i) {
        const std::string serial = Serial(i);
        devices.push_back({std::wstring(serial.begin(), serial.end()), L""});
    }
    const CommandPlan plan = PlanCommand(protocol::CMD_REBOOT, devices);
    Recorder all;
    session.RunCommand(plan, all);
    ASSERT_EQ(all.done.size(), 200u);
    EXPECT_EQ(all.sent, 200u);
    for (std::size_t i = 0; i < all.done.size(); ++i) EXPECT_EQ(all.done[i], i);
    // Four slices of at most 64 each way, 3 ms between them, 50 ms once.
    EXPECT_EQ(pauses, (std::vector<int>{3, 3, 3, 50, 3, 3, 3}));

    std::vector<LoggedDatagram> got;
    ASSERT_TRUE(test::WaitUntil(
        [&] { return (got = test::Received(lab, cameras, protocol::CMD_REBOOT)).size() >= 400; }));
    ASSERT_EQ(got.size(), 400u);
    std::vector<std::string> multicast, broadcast;
    std::map<std::string, double> multicastTime;
    for (const LoggedDatagram& d : got) {
        const std::string serial = test::TextAt(d.bytes, kSerialOffset);
        if (d.kind == "multicast") {
            EXPECT_TRUE(broadcast.empty()) << serial << ": a multicast copy after a broadcast";
            multicast.push_back(serial);
            multicastTime[serial] = d.time;
            continue;
        }
        ASSERT_EQ(d.kind, "broadcast");
        broadcast.push_back(serial);
        ASSERT_EQ(multicastTime.count(serial), 1u) << serial << ": broadcast copy first";
        EXPECT_GE(d.time - multicastTime[serial], 0.045) << serial;
    }
    std::vector<std::string> inOrder;
    for (std::size_t i = 0; i < 200; ++i) inOrder.push_back(Serial(i));
    EXPECT_EQ(multicast, inOrder);
    EXPECT_EQ(broadcast, inOrder);

    // Cancelled at the second slice. A later command marks the end: once it
    // is in, everything the cancelled sweep sent is.
    Recorder cancelled(2);
    const auto outcomes =
        session.RunCommand(PlanCommand(protocol::CMD_MOTOR_START, devices), cancelled);
    ASSERT_EQ(cancelled.done.size(), 64u);
    EXPECT_EQ(outcomes[63].outcome, Outcome::kSent);
    EXPECT_EQ(outcomes[64].outcome, Outcome::kNotReached);
    session.RunCommand(PlanCommand(protocol::CMD_MOTOR_STOP, {devices[0]}), all);
    ASSERT_TRUE(test::WaitUntil([&] {
        return test::Received(lab, cameras, protocol::CMD_MOTOR_STOP, "broadcast").size() == 1;
    }));
    std::map<std::string, int> copies;
    for (const LoggedDatagram& d : test::Received(lab, cameras, protocol::CMD_MOTOR_START))
        ++copies[test::TextAt(d.bytes, kSerialOffset) + " " + d.kind];
    EXPECT_EQ(copies.size(), 128u);
    for (std::size_t i = 0; i < 64; ++i) {
        const std::string serial = Serial(i);
        EXPECT_EQ(copies[serial + " multicast"], 1) << serial;
        EXPECT_EQ(copies[serial + " broadcast"], 1) << serial;
    }
    session.Stop();
}

}  // namespace
}  // namespace vimbrel::lab
