#pragma once
// The question before an assignment that moves devices off the network they
// answered through (operations/off_link_moves.h), in the window's language,
// with No the default.
#include <string>
#include <vector>

#include "operations/off_link_moves.h"
#include "operations_ui/device_operations.h"

namespace vimbrel {

// One paragraph per local address: how many devices answered through it,
// that their new addresses are outside its network, and their names
// (`names`, one per target). Empty when no target leaves its network.
wxString OffLinkQuestion(const std::vector<OffLinkGroup>& groups,
                         const std::vector<std::wstring>& names);

// True when the assignment may go on: no target leaves its network, or the
// user said yes to OffLinkQuestion.
bool AgreedToOffLinkMoves(const std::vector<MoveTarget>& targets,
                          const std::vector<std::wstring>& names, const AskUser& ask);

}  // namespace vimbrel
