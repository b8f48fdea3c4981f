#pragma once
// Whether the calling thread is still in the machine's initial network
// namespace, where nothing of the simulator or the tests may ever send.

namespace vimbrel::lab {

// True when this thread's network namespace is the machine's initial one
// (or when that can't be told).
bool InInitialNetworkNamespace();

}  // namespace vimbrel::lab
