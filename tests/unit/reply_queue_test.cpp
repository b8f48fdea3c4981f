// The queue between the receive thread and the window: one word to the
// reader per batch, its bound, and the count of what it turned away.
#include <gtest/gtest.h>

#include "protocol/reply_queue.h"

using namespace vimbrel::protocol;

namespace {

ReplyBuffer Numbered(std::uint16_t n) {
    ReplyBuffer reply{};
    reply[92] = static_cast<std::uint8_t>(n >> 8);
    reply[93] = static_cast<std::uint8_t>(n);
    return reply;
}

std::uint16_t NumberOf(const ReplyBuffer& reply) {
    return static_cast<std::uint16_t>(reply[92] << 8 | reply[93]);
}

TEST(ReplyQueueTest, ReaderIsToldOncePerBatchAndTakesItInOrder) {
    ReplyQueue queue;
    EXPECT_TRUE(queue.Push(Numbered(1)));
    EXPECT_FALSE(queue.Push(Numbered(2)));  // told already, not yet taken
    EXPECT_FALSE(queue.Push(Numbered(3)));
    ReplyQueue::Replies batch = queue.TakeAll();
    ASSERT_EQ(batch.size(), 3u);
    for (std::uint16_t i = 0; i < 3; ++i) EXPECT_EQ(NumberOf(*batch[i]), i + 1);
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_TRUE(queue.TakeAll().empty());
    EXPECT_TRUE(queue.Push(Numbered(4)));  // a new batch: told again
}

TEST(ReplyQueueTest, EachReplyKeepsTheLocalAddressItCameInOn) {
    ReplyQueue queue;
    queue.Push(Numbered(1), 0xC0A80264);  // 192.168.2.100
    queue.Push(Numbered(2));
    ReplyQueue::Replies batch = queue.TakeAll();
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(NumberOf(*batch[0]), 1);
    EXPECT_EQ(batch[0]->localAddress, 0xC0A80264u);
    EXPECT_EQ(batch[1]->localAddress, 0u);
}

TEST(ReplyQueueTest, BoundAndClosedQueueDropAndCount) {
    ReplyQueue queue;
    for (std::uint16_t i = 0; i < kMaxQueuedReplies; ++i) queue.Push(Numbered(i));
    EXPECT_EQ(queue.Dropped(), 0u);
    EXPECT_FALSE(queue.Push(Numbered(60000)));
    EXPECT_FALSE(queue.Push(Numbered(60001)));
    EXPECT_EQ(queue.Size(), kMaxQueuedReplies);
    EXPECT_EQ(queue.Dropped(), 2u);
    ReplyQueue::Replies batch = queue.TakeAll();
    EXPECT_EQ(NumberOf(*batch.back()), kMaxQueuedReplies - 1);  // the first ones were kept

    EXPECT_TRUE(queue.Push(Numbered(1)));  // room again; the count stands
    EXPECT_EQ(queue.Dropped(), 2u);

    queue.Close();
    EXPECT_FALSE(queue.Push(Numbered(2)));
    queue.CountDropped(5);  // turned away by the reader
    EXPECT_EQ(queue.Dropped(), 8u);
    EXPECT_EQ(queue.Size(), 1u);

    queue.Reopen();
    EXPECT_EQ(queue.Dropped(), 0u);
    EXPECT_FALSE(queue.Push(Numbered(3)));  // queued; the reader was told of reply 1
    EXPECT_EQ(queue.Size(), 2u);
}

}  // namespace
