#include "session/search_rounds.h"

#include <algorithm>
#include <memory>
#include <random>

namespace vimbrel {

using std::chrono::milliseconds;

DrawDelay RandomDelays() {
    auto generator = std::make_shared<std::mt19937>(std::random_device{}());
    return [generator](milliseconds least, milliseconds most) {
        std::uniform_int_distribution<milliseconds::rep> pick(least.count(), most.count());
        return milliseconds(pick(*generator));
    };
}

DelayRange DelayBeforeRound(std::size_t round) {
    if (round <= 2) return {milliseconds(200), milliseconds(300)};
    if (round == 3) return {milliseconds(400), milliseconds(600)};
    return {milliseconds(800), milliseconds(1000)};
}

std::vector<milliseconds> RoundStarts(std::size_t rounds, const DrawDelay& draw) {
    std::vector<milliseconds> starts;
    starts.reserve(rounds);
    milliseconds at{0};
    for (std::size_t round = 1; round <= rounds; ++round) {
        if (round > 1) {
            const DelayRange range = DelayBeforeRound(round);
            at += std::clamp(draw(range.least, range.most), range.least, range.most);
        }
        starts.push_back(at);
    }
    return starts;
}

bool SearchStop::WaitUntil(std::chrono::steady_clock::time_point when) {
    std::unique_lock lock(m_lock);
    return !m_changed.wait_until(lock, when, [this] { return m_stop; });
}

void SearchStop::Stop() {
    {
        const std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
}

bool SearchStop::Stopped() {
    const std::lock_guard lock(m_lock);
    return m_stop;
}

}  // namespace vimbrel
