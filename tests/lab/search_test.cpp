// A search sent by the core, answered by a simulated camera, and the
// receive thread that queues what it accepts.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/udp_socket.h"
#include "tests/lab/lab_network.h"
#include "tests/lab/search_probe.h"

namespace vimbrel::lab {
namespace {

using namespace std::chrono_literals;
using protocol::DeviceReply;
using protocol::ReplyBuffer;

TEST(SearchLab, CameraAnswersBothCopiesOfTheSearch) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    int link = lab.AddLink("192.168.2.100/24");
    CameraConfig config;
    config.serial = "SN1234";
    config.model = "ZR420";
    config.ip = "192.168.2.10";
    config.mac = "00:1A:2B:3C:4D:5E";
    config.port = 8080;
    config.firmware = "V2.3.4";
    config.status = "运行中";
    lab.AddCamera(link, config);
    lab.EnterComputer();
    SearchProbe probe;

    std::vector<ReplyBuffer> replies = probe.Search();
    ASSERT_EQ(replies.size(), 2u) << "one reply to the multicast, one to the broadcast";
    EXPECT_GE(probe.Notifies(), 2);
    for (const ReplyBuffer& reply : replies) {
        EXPECT_TRUE(protocol::IsDeviceReply(reply.data(), static_cast<long>(reply.size())));
        // The layout as the camera puts it on the wire.
        EXPECT_EQ((std::array<int, 4>{reply[0], reply[1], reply[2], reply[3]}),
                  (std::array<int, 4>{0x64, 0, 0, 0}));
        EXPECT_EQ((std::array<int, 4>{reply[8], reply[9], reply[10], reply[11]}),
                  (std::array<int, 4>{0x00, 0x00, 0x1F, 0x90}));
        EXPECT_EQ(std::memcmp(reply.data() + 16, "IpCamera\0", 9), 0);
        EXPECT_STREQ(reinterpret_cast<const char*>(reply.data() + 28), "192.168.2.10");
        EXPECT_EQ((std::array<int, 6>{reply[92], reply[93], reply[94], reply[95], reply[96], reply[97]}),
                  (std::array<int, 6>{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
        // "运行中" in GBK
        EXPECT_EQ((std::array<int, 7>{reply[324], reply[325], reply[326], reply[327], reply[328],
                                      reply[329], reply[330]}),
                  (std::array<int, 7>{0xD4, 0xCB, 0xD0, 0xD0, 0xD6, 0xD0, 0x00}));

        DeviceReply fields(reply);
        EXPECT_EQ(fields.MacText(), L"00:1A:2B:3C:4D:5E");
        EXPECT_EQ(fields.IpText(), L"192.168.2.10");
        EXPECT_EQ(fields.Port(), 8080);
        EXPECT_EQ(fields.SerialNo(), L"SN1234");
        EXPECT_EQ(fields.ModelName(), L"ZR420");
        EXPECT_EQ(fields.FirmwareVersion(), L"V2.3.4");
        EXPECT_EQ(fields.RunStatus(), L"运行中");
    }
}

// A reply-shaped datagram with the given code, magic at 16 and a marker serial.
std::array<std::uint8_t, 388> ReplyShaped(std::uint8_t code, const char* serial) {
    std::array<std::uint8_t, 388> bytes{};
    bytes[0] = code;
    std::memcpy(bytes.data() + 16, "IpCamera", 8);
    std::memcpy(bytes.data() + 292, serial, std::strlen(serial));
    return bytes;
}

TEST(SearchLab, OnlyDeviceRepliesAreQueued) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;
    lab.AddLink("192.168.2.100/24");
    lab.EnterComputer();
    SearchProbe probe;
    std::uint16_t receiverPort = 0;
    {
        std::lock_guard<std::mutex> lock(probe.Sockets().Lock());
        for (const protocol::LocalSocket& entry : probe.Sockets().Entries())
            if (entry.address == platform::ParseIPv4("192.168.2.100"))
                receiverPort = platform::SocketLocalPort(entry.socket).value_or(0);
    }
    ASSERT_NE(receiverPort, 0);

    platform::SocketHandle sender = platform::OpenUdpSocket();
    ASSERT_NE(sender, platform::kInvalidSocket);
    ASSERT_TRUE(platform::BindSocket(sender, platform::ParseIPv4("192.168.2.100"), 0));
    auto send = [&](const std::uint8_t* bytes, std::size_t size) {
        ASSERT_TRUE(platform::SendDatagram(sender, bytes, size,
                                           platform::ParseIPv4("192.168.2.100"), receiverPort));
    };
    protocol::DevicePacket request = protocol::MakeSearchRequest(std::time(nullptr));
    send(request.data(), request.size());
    auto code101 = ReplyShaped(101, "CODE101");
    send(code101.data(), code101.size());
    auto noZeroAfterMagic = ReplyShaped(100, "NOZERO");
    noZeroAfterMagic[24] = 'X';
    send(noZeroAfterMagic.data(), noZeroAfterMagic.size());
    auto marker = ReplyShaped(100, "MARKER");
    send(marker.data(), marker.size());
    platform::CloseSocket(sender);

    ASSERT_TRUE(WaitFor([&] { return probe.Replies().Size() >= 1; }, 2000ms));
    std::this_thread::sleep_for(200ms);
    ASSERT_EQ(probe.Replies().Size(), 1u);
    std::unique_ptr<ReplyBuffer> only = probe.Replies().TakeFront();
    EXPECT_EQ(DeviceReply(*only).SerialNo(), L"MARKER");
    EXPECT_EQ(probe.Notifies(), 1);
}

TEST(SearchLab, QueuedRepliesBringAReminderAboutEverySecond) {
    LAB_REQUIRE_ROOT();
    LabNetwork lab;  // lo up: one live socket, so every wait lasts its second
    lab.EnterComputer();
    SearchProbe probe;
    probe.Replies().Push(std::make_unique<ReplyBuffer>());
    int before = probe.Notifies();
    std::this_thread::sleep_for(3500ms);
    int reminders = probe.Notifies() - before;
    EXPECT_GE(reminders, 3);
    EXPECT_LE(reminders, 4);
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
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1300ms);
    EXPECT_TRUE(receiver.Exited());
}

}  // namespace
}  // namespace vimbrel::lab
