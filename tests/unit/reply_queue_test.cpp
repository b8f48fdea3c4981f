// The reply queue and the receive thread's start, reminder and stop.
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

LocalSockets NoAddresses() {
    return LocalSockets([] { return std::vector<vimbrel::platform::LocalAddress>{}; },
                        [](std::chrono::milliseconds) {});
}

// Polls `done` for up to ten seconds.
template <typename F>
bool Eventually(F done) {
    for (int i = 0; i < 1000; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
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

TEST(ReplyReceiverTest, RemindsWhileRepliesWaitAndStops) {
    LocalSockets sockets = NoAddresses();
    ReplyQueue queue;
    std::atomic<int> notified{0};
    ReplyReceiver receiver(sockets, queue, [&] { ++notified; });

    receiver.Start();
    // Nothing queued: no socket, the wait fails at once, and no reminder.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(notified.load(), 0);

    queue.Push(Tagged(7));
    EXPECT_TRUE(Eventually([&] { return notified.load() >= 2; }));

    // The window takes the reply; the reminders stop.
    queue.TakeFront();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const int settled = notified.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(notified.load(), settled);

    EXPECT_FALSE(receiver.Exited());
    receiver.Stop();
    EXPECT_TRUE(receiver.Exited());
}

TEST(ReplyReceiverTest, StopEndsAWaitOnAQuietSocket) {
    // One socket bound to loopback, never sent to: the thread sits in its
    // one-second wait, and Stop still ends it.
    LocalSockets sockets([] { return std::vector<vimbrel::platform::LocalAddress>{{0x7F000001, 0xFF000000}}; },
                         [](std::chrono::milliseconds) {});
    sockets.RefreshLocalSockets();
    ReplyQueue queue;
    std::atomic<int> notified{0};
    ReplyReceiver receiver(sockets, queue, [&] { ++notified; });
    receiver.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    receiver.Stop();
    EXPECT_TRUE(receiver.Exited());
    EXPECT_EQ(notified.load(), 0);
    EXPECT_EQ(queue.Size(), 0u);
}

TEST(ReplyReceiverTest, StopWithoutStartAndTwice) {
    LocalSockets sockets = NoAddresses();
    ReplyQueue queue;
    ReplyReceiver receiver(sockets, queue, {});
    receiver.Stop();
    EXPECT_FALSE(receiver.Exited());
    receiver.Start();
    receiver.Stop();
    receiver.Stop();
    EXPECT_TRUE(receiver.Exited());
}
