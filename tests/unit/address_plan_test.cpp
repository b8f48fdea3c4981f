// Address plans read from CSV: the search's own CSV with a new_ip column
// added in a spreadsheet, and every kind of line that must stop the plan
// before anything is sent.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include <algorithm>
#include <atomic>

#include "operations/address_plan.h"
#include "tests/support/addresses.h"

namespace vimbrel {
namespace {

using test::Ip;

const PlanDefaults kDefaults{Ip(255, 255, 255, 0), Ip(192, 168, 2, 1)};

// What `search --format csv` writes, as a spreadsheet saves it with a
// new_ip column appended: the byte order mark, CRLF, quoted fields.
const char* const kFromSearch =
    "\xEF\xBB\xBF"
    "serial,model,ip,mac,port,firmware,status,local_address,new_ip\r\n"
    "SN-A,ZR420,192.168.2.21,00:1A:2B:3C:4D:01,80,V1.0.0,运行中,192.168.2.100,192.168.2.51\r\n"
    "\"Cam,\"\"7\"\"\",ZR420,192.168.2.22,00:1a:2b:3c:4d:02,80,V1.0.0,\"a\r\nb\",,192.168.2.52\r\n"
    "SN-C,ZR420,192.168.2.23,00:1A:2B:3C:4D:03,80,V1.0.0,running,192.168.2.100,\r\n"
    ",,,,,,,,\r\n";

TEST(AddressPlan, ReadsTheSearchsCsvWithANewIpColumn) {
    const AddressPlan plan = ReadAddressPlan(kFromSearch, kDefaults);
    ASSERT_TRUE(plan.errors.empty()) << plan.errors[0].line << ": " << plan.errors[0].text;
    ASSERT_EQ(plan.entries.size(), 2u);  // SN-C has no new_ip: left alone
    const PlanEntry& a = plan.entries[0];
    EXPECT_EQ(a.line, 2u);
    EXPECT_TRUE(a.byMac);
    EXPECT_EQ(a.mac, (protocol::MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01}));
    EXPECT_EQ(a.newIp, Ip(192, 168, 2, 51));
    EXPECT_EQ(a.mask, Ip(255, 255, 255, 0));
    EXPECT_EQ(a.gateway, Ip(192, 168, 2, 1));
    EXPECT_EQ(plan.entries[1].line, 3u);
    EXPECT_EQ(plan.entries[1].mac, (protocol::MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x02}));
}

TEST(AddressPlan, SerialColumnsOwnMasksAndGatewaysAndAnyColumnOrder) {
    const AddressPlan plan = ReadAddressPlan(
        " Gateway ,NEW_IP,Serial,mask\n"
        "10.0.0.1,10.0.0.5,SN-甲,255.255.255.0\n"
        ",10.1.0.5,SN-乙,\n",
        {Ip(255, 255, 0, 0), Ip(10, 1, 0, 1)});
    ASSERT_TRUE(plan.errors.empty()) << plan.errors[0].text;
    ASSERT_EQ(plan.entries.size(), 2u);
    EXPECT_FALSE(plan.entries[0].byMac);
    EXPECT_EQ(plan.entries[0].serial, L"SN-甲");
    EXPECT_EQ(plan.entries[0].mask, Ip(255, 255, 255, 0));
    EXPECT_EQ(plan.entries[0].gateway, Ip(10, 0, 0, 1));
    EXPECT_EQ(plan.entries[1].mask, Ip(255, 255, 0, 0));  // the defaults
    EXPECT_EQ(plan.entries[1].gateway, Ip(10, 1, 0, 1));
}

TEST(AddressPlan, EveryFaultyLineIsNamedAndTheRestStillChecked) {
    const AddressPlan plan = ReadAddressPlan(
        "mac,new_ip,mask,gateway\n"
        "00:1A:2B:3C:4D:01,192.168.2.51,,\n"  // 2: fine
        "00:1A:2B:3C:4D,192.168.2.52,,\n"  // 3: MAC too short
        "00:1A:2B:3C:4D:03,192.168.2.300,,\n"  // 4: malformed new_ip
        "00:1A:2B:3C:4D:04,192.168.2.51,,\n"  // 5: new_ip of line 2
        "00:1a:2b:3c:4d:01,192.168.2.55,,\n"  // 6: MAC of line 2
        "00:1A:2B:3C:4D:07,192.168.2.255,,\n"  // 7: broadcast
        "00:1A:2B:3C:4D:08,192.168.2.58,255.0.255.0,\n"  // 8: mask not contiguous
        "00:1A:2B:3C:4D:09,192.168.2.1,,\n"  // 9: the gateway
        "00:1A:2B:3C:4D:0A,192.168.3.60,,\n"  // 10: gateway outside its network
        "00:1A:2B:3C:4D:0B,224.0.0.9,,224.0.0.1\n"  // 11: multicast
        "00:1A:2B:3C:4D:0C,192.168.2.62,,\n",  // 12: fine
        kDefaults);
    ASSERT_EQ(plan.entries.size(), 2u);
    EXPECT_EQ(plan.entries[1].line, 12u);
    using F = PlanFault;
    using R = AssignmentInputFault;
    struct Expected {
        std::size_t line;
        PlanFault fault;
        const char* text;
        std::size_t otherLine = 0;
        AssignmentInputFault rule = R::kNone;
    };
    const Expected expected[] = {
        {3, F::kMalformedMac, "00:1A:2B:3C:4D"},
        {4, F::kMalformedAddress, "192.168.2.300"},
        {5, F::kSameNewIp, "192.168.2.51", 2},
        {6, F::kSameIdentity, "00:1a:2b:3c:4d:01", 2},
        {7, F::kAddressRule, "192.168.2.255", 0, R::kStartNetworkOrBroadcast},
        {8, F::kAddressRule, "192.168.2.58", 0, R::kMaskNotContiguous},
        {9, F::kNewIpIsGateway, "192.168.2.1"},
        {10, F::kAddressRule, "192.168.3.60", 0, R::kGatewayOutsideNetwork},
        {11, F::kAddressRule, "224.0.0.9", 0, R::kStartNotUnicast},
    };
    ASSERT_EQ(plan.errors.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const PlanError& e = plan.errors[i];
        EXPECT_EQ(e.line, expected[i].line);
        EXPECT_EQ(e.fault, expected[i].fault) << e.line;
        EXPECT_EQ(e.text, expected[i].text) << e.line;
        EXPECT_EQ(e.otherLine, expected[i].otherLine) << e.line;
        EXPECT_EQ(e.rule, expected[i].rule) << e.line;
        EXPECT_TRUE(e.byMac);
    }
    // The mask and gateway of a rule's fault as the line or the defaults give them.
    EXPECT_EQ(plan.errors[5].mask, "255.0.255.0");
    EXPECT_EQ(plan.errors[5].gateway, "192.168.2.1");
    EXPECT_EQ(plan.errors[1].field, PlanField::kNewIp);
}

TEST(AddressPlan, AFileThatIsNoPlanSaysWhy) {
    using F = PlanFault;
    auto onlyError = [](std::string_view text, const PlanDefaults& defaults = kDefaults) {
        const AddressPlan plan = ReadAddressPlan(text, defaults);
        EXPECT_TRUE(plan.entries.empty());
        PlanError none;
        none.line = 999;
        return plan.errors.size() == 1 ? plan.errors[0] : none;
    };
    EXPECT_EQ(onlyError("").fault, F::kEmptyFile);
    EXPECT_EQ(onlyError("serial,ip\r\nSN-A,1.2.3.4\r\n").fault, F::kNoNewIpColumn);
    EXPECT_EQ(onlyError("model,new_ip\r\n").fault, F::kNoIdentityColumn);
    EXPECT_EQ(onlyError("mac,new_ip\r\n00:1A:2B:3C:4D:01,\r\n").fault, F::kNoEntry);
    const PlanError noMask = onlyError("mac,new_ip\n00:1A:2B:3C:4D:01,10.0.0.5\n", {});
    EXPECT_EQ(noMask.line, 2u);
    EXPECT_EQ(noMask.fault, F::kNoMask);
    EXPECT_EQ(onlyError("mac,new_ip\n00:1A:2B:3C:4D:01,10.0.0.5\n", {Ip(255, 0, 0, 0), {}}).fault,
              F::kNoGateway);
    const PlanError badGateway =
        onlyError("mac,new_ip,gateway\n00:1A:2B:3C:4D:01,10.0.0.5,10.0.0\n");
    EXPECT_EQ(badGateway.fault, F::kMalformedAddress);
    EXPECT_EQ(badGateway.field, PlanField::kGateway);
    EXPECT_EQ(badGateway.text, "10.0.0");
    const PlanError open = onlyError("mac,new_ip\n\"00:1A:2B:3C:4D:01,10.0.0.5\n");
    EXPECT_EQ(open.line, 2u);
    EXPECT_EQ(open.fault, F::kCsvQuoteNotClosed);
    EXPECT_EQ(onlyError("mac,new_ip\n\"00:1A:2B:3C:4D:01\"x,10.0.0.5\n").fault,
              F::kCsvTextAfterQuote);
    EXPECT_EQ(onlyError("serial,new_ip\n,10.0.0.5\n").fault, F::kEmptySerial);
    const PlanError longSerial =
        onlyError("serial,new_ip\n" + std::string(31, 'S') + ",192.168.2.5\n");
    EXPECT_EQ(longSerial.fault, F::kSerialTooLong);
    EXPECT_FALSE(longSerial.byMac);
    EXPECT_EQ(onlyError("serial,new_ip\n\xFF\xFE,192.168.2.5\n").fault, F::kSerialNotUtf8);
    // Text from the file: control characters hidden, cut after 64 bytes.
    const PlanError shown =
        onlyError("mac,new_ip\n\x1B[31m" + std::string(70, 'A') + ",10.0.0.5\n");
    EXPECT_EQ(shown.fault, F::kMalformedMac);
    EXPECT_EQ(shown.text, "?[31m" + std::string(59, 'A') + "…");
}

// Answers for a fixed set of addresses and counts what it was asked.
class FixedProbe : public platform::ArpProbe {
public:
    explicit FixedProbe(std::vector<std::uint32_t> answering) : m_answering(std::move(answering)) {}
    bool HostAnswers(std::uint32_t address) override {
        ++m_calls;
        return std::find(m_answering.begin(), m_answering.end(), address) != m_answering.end();
    }
    int Calls() const { return m_calls.load(); }

private:
    std::vector<std::uint32_t> m_answering;
    std::atomic<int> m_calls{0};
};

TEST(AddressPlan, ANewAddressIsTakenWhenAHostAnswersOrAnotherDeviceReportsIt) {
    FixedProbe probe({Ip(192, 168, 2, 60)});
    const std::vector<bool> taken = NewAddressesTaken(
        {
            {Ip(192, 168, 2, 51), L"192.168.2.21"},  // free
            {Ip(192, 168, 2, 60), L"192.168.2.22"},  // a host answers
            {Ip(192, 168, 2, 23), L"192.168.2.24"},  // another device reports it
            {Ip(192, 168, 2, 25), L"192.168.2.25"},  // its own: not probed
        },
        {L"192.168.2.21", L"192.168.2.22", L"192.168.2.23", L"192.168.2.24", L"192.168.2.25"},
        probe);
    EXPECT_EQ(taken, (std::vector<bool>{false, true, true, false}));
    EXPECT_EQ(probe.Calls(), 3);
}

// Many new addresses through a batch of four workers: never more than its
// bound under way, each address asked once (two lines naming one address
// share its verdict), every verdict where it belongs.
TEST(AddressPlan, NewAddressesAreProbedInWavesOfTheBatchsBound) {
    class Narrow : public FixedProbe {
    public:
        using FixedProbe::FixedProbe;
        bool HostAnswers(std::uint32_t address) override {
            const int now = ++m_underWay;
            int most = mostUnderWay.load();
            while (now > most && !mostUnderWay.compare_exchange_weak(most, now)) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));  // overlap the calls
            --m_underWay;
            return FixedProbe::HostAnswers(address);
        }
        std::unique_ptr<platform::ArpProbeBatch> OpenBatch() override {
            return platform::MakeThreadedArpProbeBatch(*this, 4);
        }
        std::atomic<int> mostUnderWay{0};

    private:
        std::atomic<int> m_underWay{0};
    };
    std::vector<std::uint32_t> answering;
    std::vector<PlanTarget> targets;
    std::vector<bool> expected;
    for (int last = 1; last <= 30; ++last) {
        if (last % 3 == 0) answering.push_back(Ip(10, 0, 0, last));
        targets.push_back({Ip(10, 0, 0, last), L""});
        expected.push_back(last % 3 == 0);
    }
    targets.push_back({Ip(10, 0, 0, 3), L""});  // a second line for .3
    expected.push_back(true);
    Narrow probe(answering);
    EXPECT_EQ(NewAddressesTaken(targets, {}, probe), expected);
    EXPECT_EQ(probe.Calls(), 30);
    EXPECT_LE(probe.mostUnderWay.load(), 4);
}

}  // namespace
}  // namespace vimbrel
