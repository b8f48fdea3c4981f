#pragma once
// What a batch couldn't do and why the assignment's input was refused, in
// the window's language: the words of operations/batch_report.h (which the
// command line keeps) through the translations.
#include <wx/string.h>

#include "operations/batch_report.h"

namespace vimbrel {

// One line per group that has devices; empty when the report is.
wxString BatchReportWords(const BatchReport& report);

// Why the assignment's input was refused; empty for kNone.
wxString AssignmentInputFaultWords(AssignmentInputFault fault);

}  // namespace vimbrel
