// The device session on real sockets in the private network: a search fills
// its table with each camera once, known by the local address it answered
// on, and a plan's command reaches the camera it names with its identity.
#include <gtest/gtest.h>

#include <chrono>

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

}  // namespace
}  // namespace vimbrel::lab
