#pragma once
// The window's words, in its language, for what the core returns as codes
// with their values: what a batch couldn't do, why the assignment's input
// was refused and what is wrong with an address plan. Chinese is the source
// of the catalogs; the command line words the same codes in English
// (cli/words.h).
#include <wx/string.h>

#include "operations/address_plan.h"
#include "operations/address_rules.h"
#include "operations/batch_report.h"

namespace vimbrel {

// One line per group that has devices; empty when the report is.
wxString BatchReportWords(const BatchReport& report);

// Why the assignment's input was refused; empty for kNone.
wxString AssignmentInputFaultWords(AssignmentInputFault fault);

// What is wrong with an address plan or its line (no place, no newline).
wxString PlanErrorWords(const PlanError& error);

}  // namespace vimbrel
