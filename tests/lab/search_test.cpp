// A search sent by the core, answered by a simulated camera, and the
// receive thread that queues what it accepts and stops when told.
#include <gtest/gtest.h>

#include "tests/lab/search_probe.h"

namespace vimbrel::lab {
namespace {

using namespace std::chrono_literals;

TEST(SearchLab, CameraAnswersBothCopiesAndTheReceiverQueuesThem) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    CameraConfig config;
    config.serial = "SN1234";
    config.status = "运行中";
    lab.AddCamera(lab.AddLink("192.168.2.100/24"), config);
    lab.EnterComputer();
    SearchProbe probe;

    std::vector<protocol::ReplyBuffer> replies = probe.Search();
    ASSERT_EQ(replies.size(), 2u) << "one reply to the multicast, one to the broadcast";
    EXPECT_GE(probe.Notifies(), 1);  // once for the batch, then reminders while it waits
    for (const protocol::ReplyBuffer& reply : replies) {
        EXPECT_TRUE(protocol::IsDeviceReply(reply.data(), static_cast<long>(reply.size())));
        EXPECT_EQ(protocol::DeviceReply(reply).SerialNo(), L"SN1234");
        EXPECT_EQ(protocol::DeviceReply(reply).RunStatus(), L"运行中");  // GBK on the wire
    }
}

TEST(SearchLab, StopEndsTheReceiveThreadWithinAboutASecond) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.EnterComputer();
    protocol::LocalSockets sockets;
    protocol::ReplyQueue replies;
    protocol::ReplyReceiver receiver(sockets, replies, [] {});
    sockets.RefreshLocalSockets();
    receiver.Start();
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(receiver.Exited());
    auto start = std::chrono::steady_clock::now();
    receiver.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1200ms);
    EXPECT_TRUE(receiver.Exited());
}

}  // namespace
}  // namespace vimbrel::lab
