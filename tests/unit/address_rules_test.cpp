// What the address assignment may hand out: the input check, and the counter
// under masks that leave the network, its own address or its broadcast
// address in the candidates' way.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "operations/address_rules.h"
#include "platform/ipv4_text.h"
#include "tests/support/addresses.h"
#include "tests/support/address_counter.h"

namespace vimbrel {
namespace {

using test::Ip;

// Answers for the addresses given, records every address asked.
class ScriptedProbe : public platform::ArpProbe {
public:
    explicit ScriptedProbe(std::set<std::uint32_t> answering = {})
        : m_answering(std::move(answering)) {}
    bool HostAnswers(std::uint32_t address) override {
        probed.push_back(address);
        return m_answering.count(address) > 0;
    }
    std::vector<std::uint32_t> probed;

private:
    std::set<std::uint32_t> m_answering;
};

// The addresses handed to `devices` devices in turn.
std::vector<std::optional<std::string>> Assign(AddressCounter& counter, ScriptedProbe& probe,
                                               int devices) {
    std::vector<std::optional<std::string>> given;
    for (int i = 0; i < devices; ++i) given.push_back(counter.NextFreeAddress(probe));
    return given;
}

TEST(AssignmentInput, MaskMustBeContiguousAndGatewayInTheStartsNetwork) {
    for (const std::uint32_t mask : {Ip(255, 255, 255, 0), Ip(255, 255, 255, 128),
                                     Ip(255, 255, 255, 255), Ip(128, 0, 0, 0), Ip(255, 255, 0, 0)})
        EXPECT_TRUE(platform::IsContiguousMask(mask)) << std::hex << mask;
    for (const std::uint32_t mask : {Ip(0, 0, 0, 0), Ip(255, 0, 255, 0), Ip(255, 255, 255, 1),
                                     Ip(0, 255, 255, 255), Ip(255, 255, 254, 128)})
        EXPECT_FALSE(platform::IsContiguousMask(mask)) << std::hex << mask;
}

// Every class of address that would cut a camera off, for the start address
// and the gateway alike, with the fault both front ends report.
TEST(AssignmentInput, AddressClassesThatCutACameraOffAreRefused) {
    using F = AssignmentInputFault;
    struct Case {
        std::uint32_t start, mask, gateway;
        F fault;
    };
    const std::uint32_t c24 = Ip(255, 255, 255, 0);
    const Case cases[] = {
        {Ip(192, 168, 2, 10), c24, Ip(192, 168, 2, 1), F::kNone},
        {Ip(192, 168, 2, 10), Ip(255, 255, 0, 0), Ip(192, 168, 3, 1), F::kNone},
        {Ip(192, 168, 2, 10), Ip(255, 255, 255, 252), Ip(192, 168, 2, 9), F::kNone},  // /30
        {Ip(223, 255, 255, 1), c24, Ip(223, 255, 255, 254), F::kNone},  // last unicast block
        {Ip(1, 0, 0, 1), Ip(255, 0, 0, 0), Ip(1, 0, 0, 2), F::kNone},
        {Ip(192, 168, 2, 10), Ip(255, 0, 255, 0), Ip(192, 168, 2, 1), F::kMaskNotContiguous},
        {Ip(192, 168, 2, 10), 0, Ip(192, 168, 2, 1), F::kMaskNotContiguous},
        {Ip(192, 168, 2, 10), Ip(255, 255, 255, 254), Ip(192, 168, 2, 11), F::kMaskLeavesNoHost},
        {Ip(192, 168, 2, 10), Ip(255, 255, 255, 255), Ip(192, 168, 2, 10), F::kMaskLeavesNoHost},
        {Ip(224, 0, 0, 1), c24, Ip(224, 0, 0, 254), F::kStartNotUnicast},
        {Ip(239, 255, 255, 1), c24, Ip(239, 255, 255, 2), F::kStartNotUnicast},
        {Ip(240, 0, 0, 1), c24, Ip(240, 0, 0, 254), F::kStartNotUnicast},
        {Ip(255, 255, 255, 1), c24, Ip(255, 255, 255, 2), F::kStartNotUnicast},
        {Ip(127, 0, 0, 5), c24, Ip(127, 0, 0, 1), F::kStartNotUnicast},
        {Ip(0, 0, 0, 0), Ip(255, 0, 0, 0), Ip(0, 0, 0, 1), F::kStartNotUnicast},
        {Ip(0, 1, 2, 3), Ip(255, 0, 0, 0), Ip(0, 0, 0, 1), F::kStartNotUnicast},
        {Ip(192, 168, 2, 0), c24, Ip(192, 168, 2, 1), F::kStartNetworkOrBroadcast},
        {Ip(192, 168, 2, 255), c24, Ip(192, 168, 2, 1), F::kStartNetworkOrBroadcast},
        {Ip(10, 0, 255, 255), Ip(255, 255, 0, 0), Ip(10, 0, 0, 1), F::kStartNetworkOrBroadcast},
        {Ip(192, 168, 2, 127), Ip(255, 255, 255, 128), Ip(192, 168, 2, 1),
         F::kStartNetworkOrBroadcast},
        {Ip(192, 168, 2, 10), c24, 0, F::kGatewayNotUnicast},  // a blank gateway field
        {Ip(192, 168, 2, 10), c24, Ip(224, 111, 111, 1), F::kGatewayNotUnicast},
        {Ip(192, 168, 2, 10), c24, Ip(255, 255, 255, 255), F::kGatewayNotUnicast},
        {Ip(127, 0, 0, 5), c24, Ip(192, 168, 2, 1), F::kStartNotUnicast},
        {Ip(192, 168, 2, 10), c24, Ip(192, 168, 2, 0), F::kGatewayNetworkOrBroadcast},
        {Ip(192, 168, 2, 10), c24, Ip(192, 168, 2, 255), F::kGatewayNetworkOrBroadcast},
        {Ip(192, 168, 2, 10), c24, Ip(192, 168, 3, 1), F::kGatewayOutsideNetwork},
        {Ip(192, 168, 2, 10), Ip(255, 255, 255, 128), Ip(192, 168, 2, 129),
         F::kGatewayOutsideNetwork},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckAssignmentInput(c.start, c.mask, c.gateway), c.fault)
            << platform::FormatIPv4(c.start) << " / " << platform::FormatIPv4(c.mask) << " gw "
            << platform::FormatIPv4(c.gateway);
}

// The gateway is skipped like the network and broadcast addresses: no probe,
// the counter moves past it, the other candidates keep their order.
TEST(AddressCounter, NeverHandsOutTheGateway) {
    ScriptedProbe probe({Ip(10, 77, 0, 21)});
    AddressCounter counter(Ip(10, 77, 0, 20), Ip(255, 255, 0, 0), Ip(10, 77, 0, 20));
    EXPECT_EQ(Assign(counter, probe, 2),
              (std::vector<std::optional<std::string>>{"10.77.0.22", "10.77.0.23"}));
    EXPECT_EQ(probe.probed, (std::vector<std::uint32_t>{Ip(10, 77, 0, 21), Ip(10, 77, 0, 22),
                                                        Ip(10, 77, 0, 23)}));

    const auto candidates =
        AssignableCandidates(Ip(192, 168, 2, 10), Ip(255, 255, 255, 0), Ip(192, 168, 2, 12));
    EXPECT_EQ(std::vector<std::uint32_t>(candidates.begin(), candidates.begin() + 3),
              (std::vector<std::uint32_t>{Ip(192, 168, 2, 10), Ip(192, 168, 2, 11),
                                          Ip(192, 168, 2, 13)}));
    EXPECT_EQ(candidates.size(), 244u);  // .10 to .254, less .12
}

TEST(AddressCounter, NeverHandsOutTheBroadcastAddress) {
    ScriptedProbe probe;
    AddressCounter counter(Ip(192, 168, 2, 254), Ip(255, 255, 255, 0), Ip(192, 168, 2, 1));
    EXPECT_EQ(Assign(counter, probe, 3), (std::vector<std::optional<std::string>>{
                                             "192.168.2.254", std::nullopt, std::nullopt}));
    EXPECT_EQ(probe.probed, std::vector<std::uint32_t>{Ip(192, 168, 2, 254)});
}

TEST(AddressCounter, StartAtTheNetworkAddressProbesFromTheFirstHost) {
    ScriptedProbe probe;
    AddressCounter counter(Ip(10, 0, 0, 0), Ip(255, 255, 255, 0), Ip(10, 0, 0, 254));
    EXPECT_EQ(counter.NextFreeAddress(probe), "10.0.0.1");
    EXPECT_EQ(probe.probed, std::vector<std::uint32_t>{Ip(10, 0, 0, 1)});
}

TEST(AddressCounter, StaysInsideASubnetSmallerThanTheLastOctet) {
    // 192.168.2.0/25 ends at .127, its broadcast address; .120 is taken.
    ScriptedProbe probe({Ip(192, 168, 2, 120)});
    AddressCounter counter(Ip(192, 168, 2, 120), Ip(255, 255, 255, 128), Ip(192, 168, 2, 1));
    const auto given = Assign(counter, probe, 8);
    const std::vector<std::optional<std::string>> expected = {
        "192.168.2.121", "192.168.2.122", "192.168.2.123", "192.168.2.124",
        "192.168.2.125", "192.168.2.126", std::nullopt,    std::nullopt};
    EXPECT_EQ(given, expected);
    for (const std::uint32_t address : probe.probed) EXPECT_LT(address, Ip(192, 168, 2, 127));
    EXPECT_EQ(probe.probed.size(), 7u);

    EXPECT_EQ(AssignableCandidates(Ip(192, 168, 2, 5), Ip(255, 255, 255, 252), Ip(192, 168, 2, 4)),
              (std::vector<std::uint32_t>{Ip(192, 168, 2, 5), Ip(192, 168, 2, 6)}));
    // Under a /16 the third octet stays and .255 is an ordinary host.
    const auto wide =
        AssignableCandidates(Ip(172, 16, 5, 250), Ip(255, 255, 0, 0), Ip(172, 16, 0, 1));
    EXPECT_EQ(wide.size(), 6u);
    EXPECT_EQ(wide.back(), Ip(172, 16, 5, 255));
    // A /32 leaves nothing to hand out.
    EXPECT_TRUE(AssignableCandidates(Ip(192, 168, 2, 5), Ip(255, 255, 255, 255), Ip(192, 168, 2, 5))
                    .empty());
}

}  // namespace
}  // namespace vimbrel
