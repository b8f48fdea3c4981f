// The address plan's lines matched to the table's rows, the devices an
// assignment would move off the network they answered through, and the
// confirmation's state after an assignment.
#include <gtest/gtest.h>

#include <chrono>

#include "operations/off_link_moves.h"
#include "session/address_confirmation.h"
#include "session/match_plan.h"
#include "tests/support/addresses.h"

namespace vimbrel {
namespace {

using namespace std::chrono_literals;
using test::Ip;

TableRow Row(const wchar_t* serial, const wchar_t* mac, const wchar_t* ip,
             std::uint32_t local = 0) {
    TableRow row;
    row.device.serial = serial;
    row.device.mac = mac;
    row.device.ip = ip;
    row.localAddress = local;
    return row;
}

AddressPlan Plan(const char* csv) {
    AddressPlan plan = ReadAddressPlan(csv, {Ip(255, 255, 255, 0), Ip(192, 168, 2, 1)});
    EXPECT_TRUE(plan.errors.empty());
    return plan;
}

// A MAC line takes its row by the six bytes, whatever the case of either
// text; a serial line the one row reporting it; each with the row's MAC.
TEST(MatchPlan, MatchesByMacBytesAndBySerial) {
    const std::vector<TableRow> rows = {Row(L"SN-A", L"00:1a:2b:3c:4d:01", L"192.168.2.21"),
                                        Row(L"SN-B", L"00:1A:2B:3C:4D:02", L"192.168.2.22")};
    const AddressPlan byMac = Plan("mac,new_ip\n00:1A:2B:3C:4D:01,192.168.2.51\n");
    PlanMatching m = MatchPlan(byMac, rows);
    ASSERT_TRUE(m.errors.empty());
    ASSERT_EQ(m.matches.size(), 1u);
    EXPECT_EQ(m.matches[0].row, 0u);
    EXPECT_EQ(m.matches[0].entry, &byMac.entries[0]);
    EXPECT_EQ(m.matches[0].mac.Bytes(), (protocol::MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01}));

    const AddressPlan bySerial = Plan("serial,new_ip\nSN-B,192.168.2.52\n");
    m = MatchPlan(bySerial, rows);
    ASSERT_TRUE(m.errors.empty());
    ASSERT_EQ(m.matches.size(), 1u);
    EXPECT_EQ(m.matches[0].row, 1u);
    EXPECT_EQ(m.matches[0].mac.Bytes()[5], 0x02);
}

// Every line that can't be matched is a fault with its line, identity and
// values, and the lines that can are still matched.
TEST(MatchPlan, FaultsCarryTheirLineIdentityAndCount) {
    const std::vector<TableRow> rows = {Row(L"SN-A", L"00:1A:2B:3C:4D:01", L"192.168.2.21"),
                                        Row(L"SN-D", L"00:1A:2B:3C:4D:02", L"192.168.2.22"),
                                        Row(L"SN-D", L"00:1A:2B:3C:4D:03", L"192.168.2.23"),
                                        Row(L"SN-E", L"not a mac", L"192.168.2.24")};
    const AddressPlan plan = Plan(
        "serial,new_ip\nSN-A,192.168.2.51\nSN-X,192.168.2.52\nSN-D,192.168.2.53\n"
        "SN-E,192.168.2.54\n");
    const PlanMatching m = MatchPlan(plan, rows);
    ASSERT_EQ(m.matches.size(), 1u);
    EXPECT_EQ(m.matches[0].row, 0u);
    ASSERT_EQ(m.errors.size(), 3u);
    EXPECT_EQ(m.errors[0].line, 3u);
    EXPECT_EQ(m.errors[0].fault, PlanMatchFault::kNoRow);
    EXPECT_EQ(m.errors[0].identity, "SN-X");
    EXPECT_FALSE(m.errors[0].byMac);
    EXPECT_EQ(m.errors[1].line, 4u);
    EXPECT_EQ(m.errors[1].fault, PlanMatchFault::kSerialShared);
    EXPECT_EQ(m.errors[1].count, 2u);
    EXPECT_EQ(m.errors[2].line, 5u);
    EXPECT_EQ(m.errors[2].fault, PlanMatchFault::kMacUnusable);
    EXPECT_EQ(m.errors[2].row, 3u);

    // A MAC no row has, not even as text of another case.
    const PlanMatching none = MatchPlan(Plan("mac,new_ip\n00:1A:2B:3C:4D:09,192.168.2.51\n"), rows);
    ASSERT_EQ(none.errors.size(), 1u);
    EXPECT_EQ(none.errors[0].fault, PlanMatchFault::kNoRow);
    EXPECT_TRUE(none.errors[0].byMac);
    EXPECT_EQ(none.errors[0].identity, "00:1A:2B:3C:4D:09");
}

// The demo's two links: cameras that answered through 192.168.3.100 and are
// given 192.168.2.x leave its network; those that answered through
// 192.168.2.15 stay; an unknown local address is never warned of.
TEST(OffLinkMoves, GroupsTheTargetsLeavingTheirLocalAddresssNetwork) {
    const std::uint32_t mask = Ip(255, 255, 255, 0);
    const std::uint32_t a = Ip(192, 168, 2, 15), b = Ip(192, 168, 3, 100);
    const std::vector<MoveTarget> targets = {
        {a, Ip(192, 168, 2, 30), mask}, {b, Ip(192, 168, 2, 31), mask},
        {0, Ip(192, 168, 9, 32), mask}, {b, Ip(192, 168, 2, 33), mask},
        {a, Ip(192, 168, 5, 34), mask}, {b, Ip(192, 168, 3, 35), mask}};
    const std::vector<OffLinkGroup> groups = OffLinkMoves(targets);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].localAddress, b);  // in the order each first appears
    EXPECT_EQ(groups[0].targets, (std::vector<std::size_t>{1, 3}));
    EXPECT_EQ(groups[1].localAddress, a);
    EXPECT_EQ(groups[1].targets, (std::vector<std::size_t>{4}));

    // The mask decides: under /16 192.168.3.100 and 192.168.2.31 share a network.
    EXPECT_TRUE(OffLinkMoves({{b, Ip(192, 168, 2, 31), Ip(255, 255, 0, 0)}}).empty());
}

// The confirmation: a device counts as answering only with its MAC at its
// new address; the searches are kConfirmSearchEvery apart; the time ends.
TEST(ConfirmationState, WaitsForMacAtNewAddressSearchesAtTheIntervalAndEnds) {
    const auto t0 = ConfirmationState::Clock::now();
    const protocol::MacBytes macA{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01};
    const protocol::MacBytes macB{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x02};
    ConfirmationState state(
        {{Row(L"SN-A", L"00:1A:2B:3C:4D:01", L"192.168.3.21"), macA, Ip(192, 168, 2, 51)},
         {Row(L"SN-B", L"00:1A:2B:3C:4D:02", L"192.168.3.22"), macB, Ip(192, 168, 2, 52)}},
        t0, 10s);
    EXPECT_TRUE(state.SearchDue(t0));  // at once
    EXPECT_FALSE(state.SearchDue(t0 + kConfirmSearchEvery - 1ms));
    EXPECT_EQ(state.NextEvent(), t0 + kConfirmSearchEvery);
    EXPECT_TRUE(state.SearchDue(t0 + kConfirmSearchEvery));

    // Old address, another MAC at the new address: still waiting.
    EXPECT_TRUE(state
                    .Answered({Row(L"SN-A", L"00:1A:2B:3C:4D:01", L"192.168.3.21"),
                               Row(L"SN-X", L"00:1A:2B:3C:4D:09", L"192.168.2.52")})
                    .empty());
    // The MAC's text in lower case still names it.
    const std::vector<MovedDevice> answered =
        state.Answered({Row(L"SN-B", L"00:1a:2b:3c:4d:02", L"192.168.2.52")});
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].mac, macB);
    ASSERT_EQ(state.Waiting().size(), 1u);
    EXPECT_EQ(state.Waiting()[0].mac, macA);
    EXPECT_FALSE(state.Done());

    EXPECT_FALSE(state.TimeUp(t0 + 10s - 1ms));
    EXPECT_TRUE(state.TimeUp(t0 + 10s));
    state.Answered({Row(L"SN-A", L"00:1A:2B:3C:4D:01", L"192.168.2.51")});
    EXPECT_TRUE(state.Done());
}

}  // namespace
}  // namespace vimbrel
