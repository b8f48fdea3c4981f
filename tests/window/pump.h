#pragma once
// The toolkit's events handled from a test, with no main loop running.
#include <chrono>
#include <functional>

namespace vimbrel::test {

// Handles the toolkit's events until `done` holds or `timeout` passes.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

}  // namespace vimbrel::test
