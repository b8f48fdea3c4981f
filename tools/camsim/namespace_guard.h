#pragma once
// Keeps the simulator out of the machine's own network namespace.

namespace camsim {

// True when this process stands in the initial network namespace (or when
// that can't be told apart).
bool InInitialNetworkNamespace();

}  // namespace camsim
