// The portable batch over a blocking single-address probe: probes run side
// by side, each address gets one verdict, and the batch can go while probes
// are still queued.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "platform/arp_probe.h"

namespace vimbrel {
namespace {

using namespace std::chrono_literals;

// A probe whose every call blocks until the test releases its address;
// odd addresses answer.
class GatedProbe : public platform::ArpProbe {
public:
    bool HostAnswers(std::uint32_t address) override {
        std::unique_lock lock(m_mutex);
        ++m_running;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_released.count(address) > 0; });
        --m_running;
        return address % 2 == 1;
    }
    void Release(std::uint32_t address) {
        std::lock_guard lock(m_mutex);
        m_released.insert(address);
        m_changed.notify_all();
    }
    // Waits until `count` calls are blocked at once.
    bool WaitRunning(int count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 5s, [&] { return m_running == count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::uint32_t> m_released;
    int m_running = 0;
};

// Collects verdicts until `count` are in or five seconds pass.
std::map<std::uint32_t, bool> Collect(platform::ArpProbeBatch& batch, std::size_t count) {
    std::map<std::uint32_t, bool> verdicts;
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (verdicts.size() < count && std::chrono::steady_clock::now() < end)
        for (const auto& verdict : batch.Wait(100ms)) {
            EXPECT_TRUE(verdicts.emplace(verdict.address, verdict.answered).second);
        }
    return verdicts;
}

TEST(ThreadedArpProbeBatch, ProbesRunSideBySideAndALaterOneMaySettleFirst) {
    GatedProbe probe;
    const auto batch = platform::MakeThreadedArpProbeBatch(probe, 3);
    for (std::uint32_t address : {10u, 11u, 12u, 13u}) batch->Start(address);
    ASSERT_TRUE(probe.WaitRunning(3));  // three workers; the fourth address waits
    EXPECT_TRUE(batch->Wait(0ms).empty());

    probe.Release(12);
    EXPECT_EQ(Collect(*batch, 1), (std::map<std::uint32_t, bool>{{12, false}}));
    ASSERT_TRUE(probe.WaitRunning(3));  // 13 has taken the free worker
    for (std::uint32_t address : {10u, 11u, 13u}) probe.Release(address);
    EXPECT_EQ(Collect(*batch, 3),
              (std::map<std::uint32_t, bool>{{10, false}, {11, true}, {13, true}}));
    // Nothing under way: Wait returns at once.
    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(batch->Wait(10s).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
}

TEST(ThreadedArpProbeBatch, GoesAwayWhileACallRunsAndOthersAreQueued) {
    GatedProbe probe;
    auto batch = platform::MakeThreadedArpProbeBatch(probe, 1);
    for (std::uint32_t address : {20u, 21u, 22u}) batch->Start(address);
    ASSERT_TRUE(probe.WaitRunning(1));
    std::thread closer([&] { batch.reset(); });  // waits for the running call
    for (std::uint32_t address : {20u, 21u, 22u}) probe.Release(address);
    closer.join();
    EXPECT_EQ(batch, nullptr);
    EXPECT_TRUE(probe.WaitRunning(0));
}

}  // namespace
}  // namespace vimbrel
