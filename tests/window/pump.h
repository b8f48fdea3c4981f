#pragma once
// The toolkit's events handled from a test, with no main loop running.
#include <chrono>
#include <functional>

namespace vimbrel::test {

// Handles the toolkit's events until `done` holds or `timeout` passes. The
// deadline is generous: it only bounds a failing test, and a loaded machine
// (a parallel build, ThreadSanitizer) can take seconds for a round trip.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

}  // namespace vimbrel::test
