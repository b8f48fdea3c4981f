#pragma once
// The thread something belongs to, for the rules that say "only on that
// thread": broken, they end the program at once rather than race.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace vimbrel::platform {

// The thread something belongs to. Check() from any other thread prints
// what was misused and aborts: the rule holds in release builds too.
class OwnerThread {
public:
    OwnerThread() : m_owner(std::this_thread::get_id()) {}  // owned by the constructing thread

    // The calling thread becomes the owner (the thing was handed over).
    void Rebind() { m_owner.store(std::this_thread::get_id()); }
    bool IsOwner() const { return m_owner.load() == std::this_thread::get_id(); }
    // Aborts with a message naming `what` unless IsOwner().
    void Check(const char* what) const {
        if (IsOwner()) return;
        std::fprintf(stderr, "vimbrel: %s called on a thread that does not own it\n", what);
        std::fflush(stderr);
        std::abort();
    }

private:
    std::atomic<std::thread::id> m_owner;
};

}  // namespace vimbrel::platform
