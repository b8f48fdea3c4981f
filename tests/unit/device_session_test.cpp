// The device session without a network: its table from queued replies, the
// plans built from what rows show, and how a plan's targets end. What the
// window and the command line both go through, so what they send agrees.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "session/device_session.h"
#include "tests/support/session_insides.h"

namespace vimbrel {
namespace {

using test::SessionInsides;

// Offsets of a reply's fields on the wire, pinned here.
constexpr std::size_t kReplyMac = 92, kReplySerial = 292;

protocol::ReplyBuffer Reply(std::uint8_t macLast, const char* serialGbk = "SN") {
    protocol::ReplyBuffer reply{};
    const std::uint8_t mac[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, macLast};
    std::memcpy(&reply[kReplyMac], mac, sizeof mac);
    std::memcpy(&reply[kReplySerial], serialGbk, std::strlen(serialGbk));
    return reply;
}

// A session with no local address: nothing it runs reaches a network.
struct NoNetwork {
    DeviceSession session{[] { return std::vector<platform::LocalAddress>{}; },
                          [](std::chrono::milliseconds) {}, 3};
};

std::vector<const TableRow*> TakeAll(DeviceSession& session) {
    std::vector<const TableRow*> added;
    while (session.TakeReplies(std::chrono::steady_clock::now(), nullptr)) {
    }
    for (const TableRow& row : session.Table().Rows()) added.push_back(&row);
    return added;
}

class Recorder : public PlanProgress {
public:
    explicit Recorder(std::size_t cancelAfter = SIZE_MAX) : m_cancelAfter(cancelAfter) {}
    void Done(std::size_t target, const TargetOutcome& outcome) override {
        done.push_back(target);
        outcomes.push_back(outcome.outcome);
    }
    bool Cancelled() override { return done.size() >= m_cancelAfter; }
    std::vector<std::size_t> done;
    std::vector<Outcome> outcomes;

private:
    std::size_t m_cancelAfter;
};

TEST(DeviceSessionTable, OneRowPerMacFirstReplyWinsBoundedAndCounted) {
    NoNetwork lab;
    DeviceSession& session = lab.session;
    SessionInsides::Replies(session).Push(Reply(1, "first"), 0x0A000001);
    SessionInsides::Replies(session).Push(Reply(1, "second"), 0x0A000002);  // the same MAC again
    SessionInsides::Replies(session).Push(Reply(2), 0x0A000002);
    auto rows = TakeAll(session);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]->device.serial, L"first");
    EXPECT_EQ(rows[0]->device.mac, L"00:1A:2B:3C:4D:01");
    EXPECT_EQ(rows[0]->localAddress, 0x0A000001u);
    EXPECT_EQ(rows[1]->localAddress, 0x0A000002u);
    EXPECT_FALSE(session.Bounded());

    // The bound is three rows: a fourth MAC is dropped and counted, a listed
    // one is not.
    for (std::uint8_t mac : {3, 4, 1}) SessionInsides::Replies(session).Push(Reply(mac));
    rows = TakeAll(session);
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(session.Dropped(), 1u);
    EXPECT_TRUE(session.Bounded());

    // A new search: an empty table and a new count.
    session.ClearTable(true);
    EXPECT_TRUE(session.Table().Rows().empty());
    EXPECT_EQ(session.Dropped(), 0u);
    SessionInsides::Replies(session).Push(Reply(9));
    EXPECT_EQ(TakeAll(session).size(), 1u);
}

TEST(DeviceSessionPlans, IdentitiesFromTheRowsTextsOrSkipped) {
    // 甲 is BC D7 in GBK; the reply's text and the identity's field agree.
    NoNetwork lab;
    SessionInsides::Replies(lab.session)
        .Push(Reply(0x5E,
                    "SN-\xBC\xD7"
                    "7"));
    const auto rows = TakeAll(lab.session);
    ASSERT_EQ(rows.size(), 1u);
    const DeviceRow& row = rows[0]->device;
    EXPECT_EQ(row.serial, L"SN-甲7");

    const CommandPlan byserial =
        PlanCommand(protocol::CMD_REBOOT, {{row.serial, row.mac}, {std::wstring(31, L'S'), L""}});
    ASSERT_EQ(byserial.targets.size(), 1u);
    const auto& field = byserial.targets[0].identity.Field();
    EXPECT_EQ(std::vector<std::uint8_t>(field.begin(), field.begin() + 7),
              (std::vector<std::uint8_t>{'S', 'N', '-', 0xBC, 0xD7, '7', 0}));
    EXPECT_EQ(byserial.skipped, std::vector<std::size_t>{1});

    const MacPlan bymac = PlanByMac({{L"A", L"00:00:00:00:00"}, {row.serial, row.mac}});
    ASSERT_EQ(bymac.targets.size(), 1u);
    EXPECT_EQ(bymac.targets[0].device, 1u);
    EXPECT_EQ(bymac.targets[0].identity.Bytes(),
              (protocol::MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ(bymac.skipped, std::vector<std::size_t>{0});
}

TEST(DeviceSessionPlans, OutcomesInOrderCancelAndTheReport) {
    NoNetwork lab;
    const CommandPlan plan =
        PlanCommand(protocol::CMD_MOTOR_START,
                    {{L"A", L""}, {std::wstring(40, L'x'), L"mac-x"}, {L"B", L""}, {L"C", L""}});
    Recorder all;
    const auto outcomes = lab.session.RunCommand(plan, all);
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(all.done, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(outcomes[0].outcome, Outcome::kNotSent);  // no local address
    BatchReport report = ReportOf(plan, outcomes);
    EXPECT_EQ(report.notSent, (std::vector<std::wstring>{L"A", L"B", L"C"}));
    EXPECT_EQ(report.badSerial,
              (std::vector<std::wstring>{DeviceName(std::wstring(40, L'x'), L"mac-x")}));

    // Cancelled before the sweep began: nothing done, every target not reached.
    Recorder cancelled(0);
    report = ReportOf(plan, lab.session.RunCommand(plan, cancelled));
    EXPECT_TRUE(cancelled.done.empty());
    EXPECT_EQ(report.notReached, (std::vector<std::wstring>{L"A", L"B", L"C"}));
    EXPECT_TRUE(report.notSent.empty());
}

// Answers for the addresses given; safe from any thread.
class Answering : public platform::ArpProbe {
public:
    explicit Answering(std::vector<std::uint32_t> taken) : m_taken(std::move(taken)) {}
    bool HostAnswers(std::uint32_t address) override {
        return std::find(m_taken.begin(), m_taken.end(), address) != m_taken.end();
    }

private:
    std::vector<std::uint32_t> m_taken;
};

TEST(DeviceSessionPlans, AssignmentGivesFreeAddressesInOrderAndSaysWhoGotNone) {
    NoNetwork lab;
    const MacPlan plan = PlanByMac(
        {{L"A", L"00:00:00:00:00:01"}, {L"B", L"00:00:00:00:00:02"}, {L"C", L"00:00:00:00:00:03"}});
    // 192.168.2.252 .. .254 are the candidates; .253 answers.
    Answering probe({0xC0A802FD});
    const AssignmentInput input{0xC0A802FC, 0xFFFFFF00, 0xC0A80201};
    Recorder dry;
    const auto planned = lab.session.RunAssignment(plan, input, probe, dry, true);
    ASSERT_EQ(planned.size(), 3u);
    EXPECT_EQ(planned[0].outcome, Outcome::kPlanned);
    EXPECT_EQ(planned[0].address, 0xC0A802FCu);
    EXPECT_EQ(planned[1].address, 0xC0A802FEu);
    EXPECT_EQ(planned[2].outcome, Outcome::kNoAddress);

    Recorder sent;
    const auto outcomes = lab.session.RunAssignment(plan, input, probe, sent);
    EXPECT_EQ(outcomes[0].outcome, Outcome::kNotSent);  // no local address
    const BatchReport report = ReportOf(plan, outcomes);
    EXPECT_EQ(report.unassigned, (std::vector<std::wstring>{L"C"}));
    EXPECT_EQ(report.notSent, (std::vector<std::wstring>{L"A", L"B"}));
}

}  // namespace
}  // namespace vimbrel
