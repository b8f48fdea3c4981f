// The queue between the receive thread and the window: one word to the
// reader per batch, its bound, and the count of what it turned away.
#include <gtest/gtest.h>

#include "protocol/reply_queue.h"
#include "tests/support/replies.h"

using namespace vimbrel::protocol;

namespace {

using vimbrel::test::NumberedReply;
using vimbrel::test::ReplyNumber;

TEST(ReplyQueueTest, ReaderIsToldOncePerBatchAndTakesItInOrder) {
    ReplyQueue queue;
    EXPECT_TRUE(queue.Push(NumberedReply(1)));
    EXPECT_FALSE(queue.Push(NumberedReply(2)));  // told already, not yet taken
    EXPECT_FALSE(queue.Push(NumberedReply(3)));
    ReplyQueue::Replies batch = queue.TakeAll();
    ASSERT_EQ(batch.size(), 3u);
    for (std::uint16_t i = 0; i < 3; ++i) EXPECT_EQ(ReplyNumber(*batch[i]), i + 1);
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_TRUE(queue.TakeAll().empty());
    EXPECT_TRUE(queue.Push(NumberedReply(4)));  // a new batch: told again
}

TEST(ReplyQueueTest, EachReplyKeepsTheLocalAddressItCameInOn) {
    ReplyQueue queue;
    queue.Push(NumberedReply(1), 0xC0A80264);  // 192.168.2.100
    queue.Push(NumberedReply(2));
    ReplyQueue::Replies batch = queue.TakeAll();
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(ReplyNumber(*batch[0]), 1);
    EXPECT_EQ(batch[0]->localAddress, 0xC0A80264u);
    EXPECT_EQ(batch[1]->localAddress, 0u);
}

TEST(ReplyQueueTest, BoundAndClosedQueueDropAndCount) {
    ReplyQueue queue;
    for (std::uint16_t i = 0; i < kMaxQueuedReplies; ++i) queue.Push(NumberedReply(i));
    EXPECT_EQ(queue.Dropped(), 0u);
    EXPECT_FALSE(queue.Push(NumberedReply(60000)));
    EXPECT_FALSE(queue.Push(NumberedReply(60001)));
    EXPECT_EQ(queue.Size(), kMaxQueuedReplies);
    EXPECT_EQ(queue.Dropped(), 2u);
    ReplyQueue::Replies batch = queue.TakeAll();
    EXPECT_EQ(ReplyNumber(*batch.back()), kMaxQueuedReplies - 1);  // the first ones were kept

    EXPECT_TRUE(queue.Push(NumberedReply(1)));  // room again; the count stands
    EXPECT_EQ(queue.Dropped(), 2u);

    queue.Close();
    EXPECT_FALSE(queue.Push(NumberedReply(2)));
    queue.CountDropped(5);  // turned away by the reader
    EXPECT_EQ(queue.Dropped(), 8u);
    EXPECT_EQ(queue.Size(), 1u);

    queue.Reopen();
    EXPECT_EQ(queue.Dropped(), 0u);
    EXPECT_FALSE(queue.Push(NumberedReply(3)));  // queued; the reader was told of reply 1
    EXPECT_EQ(queue.Size(), 2u);
}

}  // namespace
