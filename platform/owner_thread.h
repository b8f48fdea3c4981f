#pragma once
// The thread something belongs to. Check() from any other thread prints
// what was misused and aborts: the rule holds in release builds too.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace vimbrel::platform {

class OwnerThread {
public:
    OwnerThread() : m_owner(std::this_thread::get_id()) {}
    void Rebind() { m_owner.store(std::this_thread::get_id()); }
    bool IsOwner() const { return m_owner.load() == std::this_thread::get_id(); }
    void Check(const char* what) const {
        if (IsOwner()) return;
        std::fprintf(stderr, "vimbrel: %s called from a thread it does not belong to\n", what);
        std::abort();
    }

private:
    std::atomic<std::thread::id> m_owner;
};

}  // namespace vimbrel::platform
