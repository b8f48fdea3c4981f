#pragma once
// A search goes out in rounds, so that a camera that missed a request, or
// whose reply was lost on the way, is found by a later round: round 1 at
// once, round 2 200–300 ms after it, round 3 400–600 ms after round 2, and
// every further round 800–1000 ms after the one before. The delays are drawn
// at random, so that the rounds of several computers, and the bursts of
// replies they bring, do not fall in step.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

namespace vimbrel {

inline constexpr std::size_t kSearchRounds = 3;
inline constexpr std::size_t kMaxSearchRounds = 10;

// A whole number of milliseconds from `least` to `most`, both included.
using DrawDelay = std::function<std::chrono::milliseconds(std::chrono::milliseconds least,
                                                          std::chrono::milliseconds most)>;
// Uniform draws from a generator seeded by the system. One caller at a time.
DrawDelay RandomDelays();

struct DelayRange {
    std::chrono::milliseconds least;
    std::chrono::milliseconds most;
};
// The pause between the start of round `round` - 1 and that of `round`
// (2 and up).
DelayRange DelayBeforeRound(std::size_t round);

// When each of `rounds` rounds starts, counted from the search's start: the
// first at 0, then each after the delay `draw` gives within its range.
std::vector<std::chrono::milliseconds> RoundStarts(std::size_t rounds, const DrawDelay& draw);

// The wait between rounds, which another thread (the exit) can end at once.
class SearchStop {
public:
    // Waits until `when` or the stop; false once stopped.
    bool WaitUntil(std::chrono::steady_clock::time_point when);
    void Stop();  // any thread; for good
    bool Stopped();

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_stop = false;
};

}  // namespace vimbrel
