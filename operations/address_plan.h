#pragma once
// An address plan: which camera gets which address, read from a CSV file
// with a header. No toolkit; the command line and the window share it.
//
// The header names the columns, in any order and case: an identity column
// (`mac`, or `serial` when there is no `mac` column), `new_ip`, and
// optionally `mask` and `gateway`; other columns are ignored, so the CSV the
// search writes serves once a `new_ip` column is added. A line whose new_ip
// is empty is not part of the plan (its camera is left alone), and so is a
// line with no text at all. A line's empty mask or gateway, or a missing
// column, takes the default given with the plan.
//
// Every line is checked on its own and against the others: the identity
// reads as a MAC address or fits a serial number's field; new_ip, the mask
// and the gateway obey the assignment's address rules (address_rules.h,
// with new_ip as the start address, and new_ip is not the gateway); no
// new_ip and no identity stands on two lines.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "operations/address_rules.h"
#include "platform/arp_probe.h"
#include "protocol/device_packet.h"

namespace vimbrel {

struct PlanDefaults {
    std::optional<std::uint32_t> mask, gateway;
};

struct PlanEntry {
    std::size_t line = 0;  // of the file, from 1
    bool byMac = true;  // the identity is a MAC address, else a serial number
    protocol::MacBytes mac{};  // byMac
    std::wstring serial;  // !byMac
    std::string identityText;  // as it stands in the file, for messages
    std::uint32_t newIp = 0, mask = 0, gateway = 0;
};

// What is wrong with a plan or one of its lines; each front end words it.
enum class PlanFault {
    kEmptyFile,
    kNoIdentityColumn,  // the header has no mac or serial column
    kNoNewIpColumn,
    kNoEntry,  // no line has a new_ip
    kCsvQuoteNotClosed,  // a quoted field never ends
    kCsvTextAfterQuote,
    kMalformedMac,  // text
    kEmptySerial,
    kSerialNotUtf8,  // text
    kSerialTooLong,  // text: longer than a camera's serial field
    kMalformedAddress,  // field, text
    kNoMask,  // neither the line nor the defaults give one
    kNoGateway,
    kAddressRule,  // rule; text: new_ip; mask and gateway as the line gives them
    kNewIpIsGateway,  // text: new_ip
    kSameIdentity,  // text: the identity; otherLine has it too
    kSameNewIp,  // text: new_ip; otherLine has it too
};

// The field of a malformed address.
enum class PlanField { kNewIp, kMask, kGateway };

struct PlanError {
    std::size_t line = 0;  // 0: the file as a whole
    PlanFault fault = PlanFault::kEmptyFile;
    // The offending text from the file: control characters as '?', cut
    // after 64 bytes and then ended with "…".
    std::string text;
    PlanField field = PlanField::kNewIp;  // kMalformedAddress
    AssignmentInputFault rule = AssignmentInputFault::kNone;  // kAddressRule
    std::string mask, gateway;  // kAddressRule
    bool byMac = true;  // the plan names cameras by MAC address, else by serial number
    std::size_t otherLine = 0;  // kSameIdentity, kSameNewIp
};

struct AddressPlan {
    std::vector<PlanEntry> entries;  // in file order
    std::vector<PlanError> errors;  // in file order; the plan is only used when there are none
};

AddressPlan ReadAddressPlan(std::string_view csvText, const PlanDefaults& defaults);

// A plan line matched to a device: its new address and the address the
// device reports now.
struct PlanTarget {
    std::uint32_t newIp = 0;
    std::wstring currentIp;
};

// For each target whether its new address is taken: another of the devices
// found reports it (`foundIps`: the address texts of all of them), or some
// host answers an ARP probe for it (probed at once, in waves of the batch's
// WaveBound). A
// device that reports its new address already is never taken; an address
// whose probe gives no verdict within 30 s counts as taken.
std::vector<bool> NewAddressesTaken(const std::vector<PlanTarget>& targets,
                                    const std::vector<std::wstring>& foundIps,
                                    platform::ArpProbe& probe);

}  // namespace vimbrel
