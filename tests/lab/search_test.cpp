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

    std::vector<protocol::ReplyBuffer> replies = probe.Search(2);
    ASSERT_EQ(replies.size(), 2u) << "one reply to the multicast, one to the broadcast";
    EXPECT_GE(probe.Notifies(), 1);  // once for the batch, then reminders while it waits
    for (const protocol::ReplyBuffer& reply : replies) {
        EXPECT_EQ(protocol::DeviceReply(reply).SerialNo(), L"SN1234");
        EXPECT_EQ(protocol::DeviceReply(reply).RunStatus(), L"运行中");  // GBK on the wire
    }
}

}  // namespace
}  // namespace vimbrel::lab
