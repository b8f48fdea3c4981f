#pragma once
// The command line's words, in English, for what the core returns as codes
// with their values: the assignment's refused input, an address plan's
// faults and what the firewall has to do with a search nobody answered.
// (The window words the same codes in its language through its catalogs.)
#include <string>

#include "operations/address_plan.h"
#include "operations/address_rules.h"
#include "operations/firewall_finding.h"

namespace vimbrel::cli {

// Why the assignment's input was refused; empty for kNone. The texts are
// given as the user wrote them; `addressField` and `maskField` name the
// fields the way the user gave them ("start address" or "new_ip", "subnet
// mask" or "mask").
std::string AssignmentFaultWords(AssignmentInputFault fault, const std::string& addressField,
                                 const std::string& address, const std::string& maskField,
                                 const std::string& mask, const std::string& gateway);

// What is wrong with an address plan or its line (no place, no newline).
std::string PlanErrorWords(const PlanError& error);

// The line after "no camera answered" (no program name, no newline).
std::string FirewallFindingWords(FirewallFinding finding, platform::FirewallProfile profile);

}  // namespace vimbrel::cli
