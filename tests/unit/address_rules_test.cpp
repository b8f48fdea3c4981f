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
#include "operations/ip_assignment.h"
#include "platform/ipv4_text.h"

namespace vimbrel {
namespace {

constexpr std::uint32_t Ip(int a, int b, int c, int d) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(b) << 16) | (std::uint32_t(c) << 8) |
           std::uint32_t(d);
}

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

    const std::uint32_t start = Ip(192, 168, 2, 10), gateway = Ip(192, 168, 2, 1);
    EXPECT_EQ(CheckAssignmentInput(start, Ip(255, 255, 255, 0), gateway),
              AssignmentInputFault::kNone);
    EXPECT_EQ(CheckAssignmentInput(start, Ip(255, 0, 255, 0), gateway),
              AssignmentInputFault::kMaskNotContiguous);
    EXPECT_EQ(CheckAssignmentInput(start, Ip(255, 255, 255, 0), Ip(192, 168, 3, 1)),
              AssignmentInputFault::kGatewayOutsideNetwork);
    EXPECT_EQ(CheckAssignmentInput(start, Ip(255, 255, 0, 0), Ip(192, 168, 3, 1)),
              AssignmentInputFault::kNone);
    // A blank gateway field reads as 0.0.0.0: not in the network either.
    EXPECT_EQ(CheckAssignmentInput(start, Ip(255, 255, 255, 0), 0),
              AssignmentInputFault::kGatewayOutsideNetwork);
    EXPECT_EQ(CheckAssignmentInput(start, Ip(255, 255, 255, 128), Ip(192, 168, 2, 129)),
              AssignmentInputFault::kGatewayOutsideNetwork);
}

TEST(AddressCounter, NeverHandsOutTheBroadcastAddress) {
    ScriptedProbe probe;
    AddressCounter counter(Ip(192, 168, 2, 254), Ip(255, 255, 255, 0));
    EXPECT_EQ(Assign(counter, probe, 3), (std::vector<std::optional<std::string>>{
                                             "192.168.2.254", std::nullopt, std::nullopt}));
    EXPECT_EQ(probe.probed, std::vector<std::uint32_t>{Ip(192, 168, 2, 254)});
}

TEST(AddressCounter, StartAtTheNetworkAddressProbesFromTheFirstHost) {
    ScriptedProbe probe;
    AddressCounter counter(Ip(10, 0, 0, 0), Ip(255, 255, 255, 0));
    EXPECT_EQ(counter.NextFreeAddress(probe), "10.0.0.1");
    EXPECT_EQ(probe.probed, std::vector<std::uint32_t>{Ip(10, 0, 0, 1)});
}

TEST(AddressCounter, StaysInsideASubnetSmallerThanTheLastOctet) {
    // 192.168.2.0/25 ends at .127, its broadcast address; .120 is taken.
    ScriptedProbe probe({Ip(192, 168, 2, 120)});
    AddressCounter counter(Ip(192, 168, 2, 120), Ip(255, 255, 255, 128));
    const auto given = Assign(counter, probe, 8);
    const std::vector<std::optional<std::string>> expected = {
        "192.168.2.121", "192.168.2.122", "192.168.2.123", "192.168.2.124",
        "192.168.2.125", "192.168.2.126", std::nullopt,    std::nullopt};
    EXPECT_EQ(given, expected);
    for (const std::uint32_t address : probe.probed) EXPECT_LT(address, Ip(192, 168, 2, 127));
    EXPECT_EQ(probe.probed.size(), 7u);

    EXPECT_EQ(AssignableCandidates(Ip(192, 168, 2, 5), Ip(255, 255, 255, 252)),
              (std::vector<std::uint32_t>{Ip(192, 168, 2, 5), Ip(192, 168, 2, 6)}));
    // Under a /16 the third octet stays and .255 is an ordinary host.
    const auto wide = AssignableCandidates(Ip(172, 16, 5, 250), Ip(255, 255, 0, 0));
    EXPECT_EQ(wide.size(), 6u);
    EXPECT_EQ(wide.back(), Ip(172, 16, 5, 255));
    // A /32 leaves nothing to hand out.
    EXPECT_TRUE(AssignableCandidates(Ip(192, 168, 2, 5), Ip(255, 255, 255, 255)).empty());
}

}  // namespace
}  // namespace vimbrel
