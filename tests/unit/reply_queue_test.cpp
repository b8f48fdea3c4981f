// The reply queue, and the receive thread's reminder and stop on a list
// without sockets (the thread on live sockets is tested in the lab).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "protocol/reply_receiver.h"

using namespace vimbrel::protocol;

namespace {

std::unique_ptr<ReplyBuffer> Tagged(std::uint8_t tag) {
    auto reply = std::make_unique<ReplyBuffer>();
    reply->fill(0);
    (*reply)[0] = tag;
    return reply;
}

// Polls `done` for up to ten seconds.
template <typename F>
bool Eventually(F done) {
    for (int i = 0; i < 1000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

}  // namespace

TEST(ReplyQueueTest, FirstInFirstOut) {
    ReplyQueue queue;
    EXPECT_EQ(queue.TakeFront(), nullptr);
    queue.Push(Tagged(1));
    queue.Push(Tagged(2));
    queue.Push(nullptr);  // ignored
    EXPECT_EQ(queue.Size(), 2u);
    EXPECT_EQ((*queue.TakeFront())[0], 1);
    EXPECT_EQ((*queue.TakeFront())[0], 2);
    EXPECT_EQ(queue.TakeFront(), nullptr);
    queue.Push(Tagged(3));
    queue.Clear();
    EXPECT_EQ(queue.Size(), 0u);
}

TEST(ReplyReceiverTest, RemindsOnlyWhileRepliesWaitAndStopsOnce) {
    LocalSockets sockets([] { return std::vector<vimbrel::platform::LocalAddress>{}; },
                         [](std::chrono::milliseconds) {});
    ReplyQueue queue;
    std::atomic<int> notified{0};
    ReplyReceiver receiver(sockets, queue, [&] { ++notified; });
    receiver.Stop();  // before Start: nothing to end
    EXPECT_FALSE(receiver.Exited());

    receiver.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(notified.load(), 0);  // nothing queued, no reminder

    queue.Push(Tagged(7));
    EXPECT_TRUE(Eventually([&] { return notified.load() >= 2; }));
    queue.TakeFront();  // the window takes the reply; the reminders stop
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const int settled = notified.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(notified.load(), settled);

    EXPECT_FALSE(receiver.Exited());
    receiver.Stop();
    receiver.Stop();
    EXPECT_TRUE(receiver.Exited());
}
