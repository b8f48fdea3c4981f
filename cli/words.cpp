#include "cli/words.h"

namespace vimbrel::cli {

std::string AssignmentFaultWords(AssignmentInputFault fault, const std::string& addressField,
                                 const std::string& address, const std::string& maskField,
                                 const std::string& mask, const std::string& gateway) {
    const char* const notUnicast =
        " is not an ordinary unicast address (0.x, 127.x, multicast 224-239 and reserved "
        "240-255 cut a camera off)";
    switch (fault) {
    case AssignmentInputFault::kNone: break;
    case AssignmentInputFault::kMaskNotContiguous:
        return maskField + " " + mask + " is not contiguous";
    case AssignmentInputFault::kMaskLeavesNoHost:
        return maskField + " " + mask + " leaves no address for a camera beside the gateway";
    case AssignmentInputFault::kStartNotUnicast: return addressField + " " + address + notUnicast;
    case AssignmentInputFault::kStartNetworkOrBroadcast:
        return addressField + " " + address + " is the network or broadcast address under mask " +
               mask;
    case AssignmentInputFault::kGatewayNotUnicast: return "gateway " + gateway + notUnicast;
    case AssignmentInputFault::kGatewayNetworkOrBroadcast:
        return "gateway " + gateway + " is the network or broadcast address under mask " + mask;
    case AssignmentInputFault::kGatewayOutsideNetwork:
        return "gateway " + gateway + " is outside the network of " + address + " under mask " +
               mask;
    }
    return {};
}

namespace {

const char* FieldName(PlanField field) {
    switch (field) {
    case PlanField::kNewIp: break;
    case PlanField::kMask: return "mask";
    case PlanField::kGateway: return "gateway";
    }
    return "new_ip";
}

}  // namespace

std::string PlanErrorWords(const PlanError& error) {
    const std::string quoted = "'" + error.text + "'";
    const std::string identity = error.byMac ? "MAC address " : "serial number ";
    switch (error.fault) {
    case PlanFault::kEmptyFile: return "the file is empty";
    case PlanFault::kNoIdentityColumn: return "the header has no mac or serial column";
    case PlanFault::kNoNewIpColumn: return "the header has no new_ip column";
    case PlanFault::kNoEntry: return "no line has a new_ip";
    case PlanFault::kCsvQuoteNotClosed: return "a quoted field is not closed";
    case PlanFault::kCsvTextAfterQuote: return "text after a closing quote";
    case PlanFault::kMalformedMac:
        return "malformed MAC address " + quoted + " (expected XX:XX:XX:XX:XX:XX)";
    case PlanFault::kEmptySerial: return "empty serial number";
    case PlanFault::kSerialNotUtf8: return "serial number " + quoted + " is not valid UTF-8";
    case PlanFault::kSerialTooLong:
        return "serial number " + quoted + " is longer than a camera's serial field";
    case PlanFault::kMalformedAddress:
        return std::string("malformed ") + FieldName(error.field) + " " + quoted;
    case PlanFault::kNoMask: return "no mask: give a mask column or --mask";
    case PlanFault::kNoGateway: return "no gateway: give a gateway column or --gateway";
    case PlanFault::kAddressRule:
        return AssignmentFaultWords(error.rule, "new_ip", error.text, "mask", error.mask,
                                    error.gateway);
    case PlanFault::kNewIpIsGateway: return "new_ip " + error.text + " is the gateway";
    case PlanFault::kSameIdentity:
        return identity + quoted + " is also on line " + std::to_string(error.otherLine);
    case PlanFault::kSameNewIp:
        return "new_ip " + error.text + " is also on line " + std::to_string(error.otherLine);
    }
    return {};
}

std::string FirewallFindingWords(FirewallFinding finding, platform::FirewallProfile profile) {
    const char* network = "public";
    if (profile == platform::FirewallProfile::kDomain) network = "domain";
    if (profile == platform::FirewallProfile::kPrivate) network = "private";
    const std::string where = std::string(" (") + network + " network)";
    const std::string fix =
        "; `vimbrel-cli firewall allow` from an administrator's prompt lets them in";
    switch (finding) {
    case FirewallFinding::kLinux:
        return std::string("a firewall may drop the cameras' replies; firewalld: ") +
               kFirewalldCommand + "; ufw: " + kUfwCommand;
    case FirewallFinding::kNotKnown:
        return "Windows Firewall's settings could not be read; it may drop the cameras' replies" +
               fix;
    case FirewallFinding::kOff:
        return "Windows Firewall is off" + where + "; it is not what drops the replies";
    case FirewallFinding::kBlockRule:
        return "Windows Firewall has a rule that blocks this program" + where +
               ": the cameras' replies are dropped" + fix;
    case FirewallFinding::kAllowRule:
        return "Windows Firewall allows this program" + where +
               "; it is not what drops the replies";
    case FirewallFinding::kNoRule:
        return "Windows Firewall is on" + where +
               " and no rule allows this program: the cameras' replies are dropped" + fix;
    }
    return {};
}

}  // namespace vimbrel::cli
