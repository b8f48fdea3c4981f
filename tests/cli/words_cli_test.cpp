// The command line's English words for the core's codes: every code worded,
// its values in their place.
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "cli/words.h"

namespace vimbrel::cli {
namespace {

PlanError Error(PlanFault fault, std::string text = {}) {
    PlanError error;
    error.line = 7;
    error.fault = fault;
    error.text = std::move(text);
    return error;
}

TEST(CliWords, EveryPlanFaultIsWordedWithItsValues) {
    using F = PlanFault;
    PlanError mask = Error(F::kMalformedAddress, "255.0.0");
    mask.field = PlanField::kMask;
    PlanError gateway = mask;
    gateway.field = PlanField::kGateway;
    PlanError rule = Error(F::kAddressRule, "192.168.3.60");
    rule.rule = AssignmentInputFault::kGatewayOutsideNetwork;
    rule.mask = "255.255.255.0";
    rule.gateway = "192.168.2.1";
    PlanError sameMac = Error(F::kSameIdentity, "00:1a:2b:3c:4d:01");
    sameMac.otherLine = 2;
    PlanError sameSerial = sameMac;
    sameSerial.byMac = false;
    sameSerial.text = "SN-A";
    PlanError sameIp = Error(F::kSameNewIp, "192.168.2.51");
    sameIp.otherLine = 3;
    struct Case {
        PlanError error;
        const char* says;
    };
    const Case cases[] = {
        {Error(F::kEmptyFile), "the file is empty"},
        {Error(F::kNoIdentityColumn), "the header has no mac or serial column"},
        {Error(F::kNoNewIpColumn), "the header has no new_ip column"},
        {Error(F::kNoEntry), "no line has a new_ip"},
        {Error(F::kCsvQuoteNotClosed), "a quoted field is not closed"},
        {Error(F::kCsvTextAfterQuote), "text after a closing quote"},
        {Error(F::kMalformedMac, "00:1A:2B"),
         "malformed MAC address '00:1A:2B' (expected XX:XX:XX:XX:XX:XX)"},
        {Error(F::kEmptySerial), "empty serial number"},
        {Error(F::kSerialNotUtf8, "S\xFF"), "serial number 'S\xFF' is not valid UTF-8"},
        {Error(F::kSerialTooLong, "SSSS"),
         "serial number 'SSSS' is longer than a camera's serial field"},
        {Error(F::kMalformedAddress, "192.168.2.300"), "malformed new_ip '192.168.2.300'"},
        {mask, "malformed mask '255.0.0'"},
        {gateway, "malformed gateway '255.0.0'"},
        {Error(F::kNoMask), "no mask: give a mask column or --mask"},
        {Error(F::kNoGateway), "no gateway: give a gateway column or --gateway"},
        {rule,
         "gateway 192.168.2.1 is outside the network of 192.168.3.60 under mask "
         "255.255.255.0"},
        {Error(F::kNewIpIsGateway, "192.168.2.1"), "new_ip 192.168.2.1 is the gateway"},
        {sameMac, "MAC address '00:1a:2b:3c:4d:01' is also on line 2"},
        {sameSerial, "serial number 'SN-A' is also on line 2"},
        {sameIp, "new_ip 192.168.2.51 is also on line 3"},
    };
    std::set<PlanFault> worded;
    for (const Case& c : cases) {
        EXPECT_EQ(PlanErrorWords(c.error), c.says);
        worded.insert(c.error.fault);
    }
    EXPECT_EQ(worded.size(), static_cast<std::size_t>(F::kSameNewIp) + 1);  // every code
}

TEST(CliWords, TheAssignmentsInputFaultsNameTheFieldsAsTheUserGaveThem) {
    using F = AssignmentInputFault;
    auto words = [](F fault) {
        return AssignmentFaultWords(fault, "start address", "10.0.0.0", "subnet mask",
                                    "255.0.255.0", "10.9.0.1");
    };
    EXPECT_EQ(words(F::kNone), "");
    EXPECT_EQ(words(F::kMaskNotContiguous), "subnet mask 255.0.255.0 is not contiguous");
    EXPECT_EQ(words(F::kMaskLeavesNoHost),
              "subnet mask 255.0.255.0 leaves no address for a camera beside the gateway");
    const std::string notUnicast =
        " is not an ordinary unicast address (0.x, 127.x, multicast 224-239 and reserved "
        "240-255 cut a camera off)";
    EXPECT_EQ(words(F::kStartNotUnicast), "start address 10.0.0.0" + notUnicast);
    EXPECT_EQ(words(F::kGatewayNotUnicast), "gateway 10.9.0.1" + notUnicast);
    EXPECT_EQ(words(F::kStartNetworkOrBroadcast),
              "start address 10.0.0.0 is the network or broadcast address under mask "
              "255.0.255.0");
    EXPECT_EQ(words(F::kGatewayNetworkOrBroadcast),
              "gateway 10.9.0.1 is the network or broadcast address under mask 255.0.255.0");
    EXPECT_EQ(words(F::kGatewayOutsideNetwork),
              "gateway 10.9.0.1 is outside the network of 10.0.0.0 under mask 255.0.255.0");
}

TEST(CliWords, TheFirewallsFindingWithTheProfileAndTheFix) {
    using platform::FirewallProfile;
    const std::string fix =
        "; `vimbrel-cli firewall allow` from an administrator's prompt lets them in";
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kBlockRule, FirewallProfile::kPublic),
              "Windows Firewall has a rule that blocks this program (public network): the "
              "cameras' replies are dropped" +
                  fix);
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kOff, FirewallProfile::kPrivate),
              "Windows Firewall is off (private network); it is not what drops the replies");
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kAllowRule, FirewallProfile::kDomain),
              "Windows Firewall allows this program (domain network); it is not what drops the "
              "replies");
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kNoRule, FirewallProfile::kDomain),
              "Windows Firewall is on (domain network) and no rule allows this program: the "
              "cameras' replies are dropped" +
                  fix);
    EXPECT_EQ(
        FirewallFindingWords(FirewallFinding::kNotKnown, FirewallProfile::kPublic),
        "Windows Firewall's settings could not be read; it may drop the cameras' replies" + fix);
    EXPECT_EQ(FirewallFindingWords(FirewallFinding::kLinux, FirewallProfile::kPublic),
              "a firewall may drop the cameras' replies; firewalld: firewall-cmd --permanent "
              "--add-service=vimbrel && firewall-cmd --reload; ufw: ufw allow proto udp from any "
              "port 9876");
}

}  // namespace
}  // namespace vimbrel::cli
