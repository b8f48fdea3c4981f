#pragma once
// Which of the cameras found by the search the command line names.
#include <string>
#include <vector>

#include "cli/camera_search.h"
#include "cli/command_line.h"

namespace vimbrel::cli {

struct Selection {
    std::vector<TableRow> cameras;  // each once, in the order named
    std::vector<std::string> absent;  // "serial S", "MAC M": no camera answered for them
    std::vector<TableRow> found;  // every camera the search found, in answer order
};

// `all`: every camera found, in the order they answered. Otherwise the
// cameras each target names, in the targets' order: a serial number names
// every camera that reports it exactly, a MAC address the one camera with
// those six bytes. The MAC texts must have been checked already.
Selection SelectTargets(const std::vector<NamedTarget>& targets, bool all,
                        const std::vector<TableRow>& found);

}  // namespace vimbrel::cli
