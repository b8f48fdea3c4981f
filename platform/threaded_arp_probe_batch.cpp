// The portable batch: blocking single-address probes on a few worker threads.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/arp_probe.h"

namespace vimbrel::platform {

namespace {

class ThreadedArpProbeBatch final : public ArpProbeBatch {
public:
    ThreadedArpProbeBatch(ArpProbe& probe, std::size_t workers)
        : m_probe(probe), m_maxWorkers(workers == 0 ? 1 : workers) {}

    ~ThreadedArpProbeBatch() override {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
            m_queue.clear();
        }
        m_work.notify_all();
        for (std::thread& worker : m_workers) worker.join();
    }

    void Start(std::uint32_t address) override {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(address);
        if (m_idle == 0 && m_workers.size() < m_maxWorkers)
            m_workers.emplace_back([this] { Work(); });
        else
            m_work.notify_one();
    }

    std::vector<ArpVerdict> Wait(std::chrono::milliseconds wait) override {
        std::unique_lock lock(m_mutex);
        m_done.wait_for(lock, wait,
                        [this] { return !m_verdicts.empty() || (m_queue.empty() && m_busy == 0); });
        return std::exchange(m_verdicts, {});
    }

    std::size_t WaveBound() const override { return m_maxWorkers; }

private:
    void Work() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            ++m_idle;
            m_work.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            --m_idle;
            if (m_stopping) return;
            const std::uint32_t address = m_queue.front();
            m_queue.pop_front();
            ++m_busy;
            lock.unlock();
            const bool answered = m_probe.HostAnswers(address);
            lock.lock();
            --m_busy;
            m_verdicts.push_back({address, answered});
            m_done.notify_all();
        }
    }

    ArpProbe& m_probe;
    const std::size_t m_maxWorkers;
    std::mutex m_mutex;
    std::condition_variable m_work;  // an address queued, or stopping
    std::condition_variable m_done;  // a verdict in
    std::deque<std::uint32_t> m_queue;
    std::vector<ArpVerdict> m_verdicts;
    std::size_t m_idle = 0, m_busy = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;  // last: joined before the rest goes
};

}  // namespace

std::unique_ptr<ArpProbeBatch> MakeThreadedArpProbeBatch(ArpProbe& probe, std::size_t workers) {
    return std::make_unique<ThreadedArpProbeBatch>(probe, workers);
}

std::size_t ArpProbeBatch::WaveBound() const { return kArpWaveBound; }

std::unique_ptr<ArpProbeBatch> ArpProbe::OpenBatch() {
    return MakeThreadedArpProbeBatch(*this, kArpBatchWorkers);
}

}  // namespace vimbrel::platform
