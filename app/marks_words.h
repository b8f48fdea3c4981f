#pragma once
// The words of the device list's marks and of a search nobody answered, in
// the window's language (Chinese the catalogs' source): the codes and values
// of operations/row_marks.h and operations/firewall_finding.h said.
#include <cstdint>
#include <vector>

#include <wx/string.h>

#include "operations/firewall_finding.h"
#include "operations/row_marks.h"

namespace vimbrel {

// The info line for one row: the local address its reply came in on, and
// what its marks mean.
wxString RowInfoWords(const MarkedRow& row, const RowMarks& marks);
// The rows with each problem, one line each; empty when there are none.
wxString MarkCountsWords(const MarkCounts& counts);
// Where a search nobody answered went out (`localAddresses`), or that it
// could not go out.
wxString NothingFoundWords(const std::vector<std::uint32_t>& localAddresses);
// What the firewall has to do with it: one sentence, then the other causes
// still possible.
wxString FirewallFindingWords(FirewallFinding finding, platform::FirewallProfile profile);

}  // namespace vimbrel
