// The rounds of a search: when each starts, the wait between them that the
// exit ends, and the session sending them one after the other.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "session/device_session.h"
#include "session/search_rounds.h"
#include "tests/support/wait.h"

namespace vimbrel {
namespace {

using std::chrono::milliseconds;

// Always the least, or always the most, of each range.
DrawDelay Least() {
    return [](milliseconds least, milliseconds) { return least; };
}
DrawDelay Most() {
    return [](milliseconds, milliseconds most) { return most; };
}

TEST(SearchRounds, StartsAtTheEdgesOfEachRange) {
    using V = std::vector<milliseconds>;
    EXPECT_EQ(RoundStarts(1, Least()), V{milliseconds(0)});
    EXPECT_EQ(RoundStarts(3, Least()), (V{milliseconds(0), milliseconds(200), milliseconds(600)}));
    EXPECT_EQ(RoundStarts(3, Most()), (V{milliseconds(0), milliseconds(300), milliseconds(900)}));
    // The fourth and later rounds: 800–1000 ms after the one before.
    EXPECT_EQ(RoundStarts(5, Least()), (V{milliseconds(0), milliseconds(200), milliseconds(600),
                                          milliseconds(1400), milliseconds(2200)}));
    EXPECT_EQ(RoundStarts(5, Most()).back(), milliseconds(2900));
    // A generator that strays is held to the range.
    EXPECT_EQ(RoundStarts(2, [](milliseconds, milliseconds) { return milliseconds(5000); }),
              (V{milliseconds(0), milliseconds(300)}));
}

TEST(SearchRounds, RandomGapsStayInTheirRangesAndVary) {
    const DrawDelay draw = RandomDelays();
    std::set<milliseconds::rep> secondGaps;
    for (int search = 0; search < 200; ++search) {
        const std::vector<milliseconds> starts = RoundStarts(kMaxSearchRounds, draw);
        ASSERT_EQ(starts.size(), kMaxSearchRounds);
        EXPECT_EQ(starts[0], milliseconds(0));
        for (std::size_t i = 1; i < starts.size(); ++i) {
            const DelayRange range = DelayBeforeRound(i + 1);
            const milliseconds gap = starts[i] - starts[i - 1];
            EXPECT_GE(gap, range.least);
            EXPECT_LE(gap, range.most);
        }
        secondGaps.insert(starts[1].count());
    }
    EXPECT_GT(secondGaps.size(), 20u);  // jittered, not one fixed delay
}

TEST(SearchRounds, StopEndsAWaitAtOnceAndEveryLaterOne) {
    SearchStop stop;
    std::atomic<int> result{-1};
    std::thread waiter([&] {
        result = stop.WaitUntil(std::chrono::steady_clock::now() + std::chrono::hours(1)) ? 1 : 0;
    });
    stop.Stop();
    EXPECT_TRUE(test::WaitUntil([&] { return result.load() != -1; }));
    waiter.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(stop.WaitUntil(std::chrono::steady_clock::now() + std::chrono::hours(1)));
    EXPECT_TRUE(stop.Stopped());
}

// No local address: the rounds go through the session without a network.
TEST(SearchRounds, TheSessionSendsEachRoundUntilStopped) {
    DeviceSession session{[] { return std::vector<platform::LocalAddress>{}; },
                          [](milliseconds) {}};
    const std::vector<milliseconds> starts{milliseconds(0), milliseconds(1), milliseconds(2)};

    SearchStop running;
    std::size_t told = 0;
    EXPECT_EQ(session.SendSearchRounds(starts, running,
                                       [&](const protocol::SendReport& report) {
                                           EXPECT_EQ(report.sockets, 0u);
                                           ++told;
                                       }),
              3u);
    EXPECT_EQ(told, 3u);

    // The exit during the first round: no further round.
    SearchStop exiting;
    told = 0;
    const std::vector<milliseconds> later{milliseconds(0), std::chrono::hours(1)};
    EXPECT_EQ(session.SendSearchRounds(later, exiting,
                                       [&](const protocol::SendReport&) {
                                           ++told;
                                           exiting.Stop();
                                       }),
              1u);
    EXPECT_EQ(told, 1u);

    // Stopped before: nothing at all.
    EXPECT_EQ(session.SendSearchRounds(starts, exiting, nullptr), 0u);
}

}  // namespace
}  // namespace vimbrel
