#pragma once
// Waiting, without a display's event loop, until a condition holds.
#include <chrono>
#include <thread>

namespace vimbrel::test {

// Checks `done` every 10 ms until it holds or `timeout` has passed; whether
// it held.
template <typename Condition>
bool WaitUntil(const Condition& done,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace vimbrel::test
