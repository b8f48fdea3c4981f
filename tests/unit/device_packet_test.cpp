// Wire layout of the request packets and reading of received replies.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "protocol/device_packet.h"

using namespace vimbrel::protocol;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Slice(const DevicePacket& packet, std::size_t from, std::size_t to) {
    return Bytes(packet.data() + from, packet.data() + to);
}

bool AllZero(const DevicePacket& packet, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
        if (packet.data()[i] != 0) return false;
    return true;
}

const Bytes kMagic = {0x49, 0x70, 0x43, 0x61, 0x6D, 0x65, 0x72, 0x61};  // "IpCamera"

// A reply buffer as a camera's answer would fill it.
ReplyBuffer MakeReply() {
    ReplyBuffer b{};
    b[0] = 0x64;  // 100
    std::memcpy(&b[16], "IpCamera", 9);
    return b;
}

void Put(ReplyBuffer& b, std::size_t offset, const char* text) {
    std::memcpy(&b[offset], text, std::strlen(text));
}

}  // namespace

TEST(DevicePacketTest, SearchRequestCarriesStampAndMagic) {
    const std::time_t times[] = {0x12345678, static_cast<std::time_t>(0x1A0B0C0D0ELL)};
    const Bytes stamps[] = {{0x12, 0x34, 0x56, 0x78}, {0x0B, 0x0C, 0x0D, 0x0E}};
    for (int i = 0; i < 2; ++i) {
        const DevicePacket packet = MakeSearchRequest(times[i]);
        EXPECT_EQ(packet.size(), 344u);
        EXPECT_EQ(Slice(packet, 0, 4), (Bytes{0x64, 0x00, 0x00, 0x00}));
        EXPECT_EQ(Slice(packet, 4, 8), stamps[i]);
        EXPECT_EQ(Slice(packet, 8, 16), kMagic);
        EXPECT_TRUE(AllZero(packet, 16, 344));
    }
}

TEST(DevicePacketTest, RebootCarriesSerialBufferWhole) {
    CellBuffer serial{};
    for (std::size_t i = 0; i < serial.size(); ++i) serial[i] = static_cast<char>(0xA0 + i);
    DevicePacket packet(CMD_REBOOT);
    packet.SetSerialNo(serial);
    EXPECT_EQ(Slice(packet, 0, 4), (Bytes{0x67, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(AllZero(packet, 4, 8));
    EXPECT_EQ(Slice(packet, 8, 16), kMagic);
    EXPECT_TRUE(AllZero(packet, 16, 248));
    for (std::size_t i = 0; i < 32; ++i) EXPECT_EQ(packet.data()[248 + i], 0xA0 + i);
    EXPECT_TRUE(AllZero(packet, 280, 344));

    DevicePacket zeroSerial(CMD_REBOOT);
    zeroSerial.SetSerialNo(CellBuffer{});
    EXPECT_TRUE(AllZero(zeroSerial, 16, 344));
}

TEST(DevicePacketTest, SetNetworkPlacesMacAndBlock) {
    NetConfig block{};
    const std::size_t textOffsets[] = {28, 60, 92, 124, 156};
    const char* texts[] = {"192.168.2.10", "255.255.255.0", "192.168.2.1", "192.168.2.1",
                           "0.0.0.0"};
    for (int i = 0; i < 5; ++i) std::memcpy(&block[textOffsets[i]], texts[i], std::strlen(texts[i]));

    DevicePacket packet(CMD_SET_NETWORK);
    packet.SetTargetMac("00:1A:2b:3C:4d:5E");
    packet.SetNetConfig(block);

    EXPECT_EQ(Slice(packet, 0, 4), (Bytes{0x66, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Slice(packet, 20, 26), (Bytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    const std::size_t packetOffsets[] = {56, 88, 120, 152, 184};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(std::memcmp(packet.data() + packetOffsets[i], texts[i], std::strlen(texts[i])), 0)
            << texts[i];
        EXPECT_EQ(packet.data()[packetOffsets[i] + std::strlen(texts[i])], 0);
    }
    EXPECT_TRUE(AllZero(packet, 16, 20));
    EXPECT_TRUE(AllZero(packet, 26, 56));
    EXPECT_TRUE(AllZero(packet, 216, 344));
}

TEST(DevicePacketTest, SetModelPlacesNameWithoutTerminator) {
    DevicePacket packet(CMD_SET_MODEL);
    packet.SetTargetMac("00:11:22:33:44:55");
    packet.SetModelName("ZR420-HD");
    EXPECT_EQ(Slice(packet, 0, 4), (Bytes{0x69, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Slice(packet, 20, 26), (Bytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(Slice(packet, 216, 224), (Bytes{'Z', 'R', '4', '2', '0', '-', 'H', 'D'}));
    EXPECT_TRUE(AllZero(packet, 26, 216));
    EXPECT_TRUE(AllZero(packet, 224, 344));
}

TEST(DevicePacketTest, ModelNameTooLongForFieldIsLeftOut) {
    const std::string longest(31, 'M');
    DevicePacket fits(CMD_SET_MODEL);
    fits.SetModelName(longest.c_str());
    EXPECT_EQ(fits.data()[246], 'M');
    EXPECT_EQ(fits.data()[247], 0);

    const std::string tooLong(32, 'M');
    DevicePacket packet(CMD_SET_MODEL);
    packet.SetModelName(tooLong.c_str());
    EXPECT_TRUE(AllZero(packet, 216, 344));  // neither the field nor serial_no touched
}

TEST(MacTextTest, ParsesGroupsAndStopsAtFirstMisfit) {
    EXPECT_EQ(MacTextToBytes("0a:1b:2c:3d:4e:5f"), (MacBytes{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
    EXPECT_EQ(MacTextToBytes("0:1:2:3:4:5"), (MacBytes{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(MacTextToBytes("00:1A:G2:33:44:55"), (MacBytes{0x00, 0x1A, 0, 0, 0, 0}));
    EXPECT_EQ(MacTextToBytes("001:22:33:44:55:66"), (MacBytes{0x00, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MacTextToBytes("00::22:33:44:55"), (MacBytes{0x00, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MacTextToBytes(" 00:11:22:33:44:55"), MacBytes{});
    EXPECT_EQ(MacTextToBytes(""), MacBytes{});
    EXPECT_EQ(MacTextToBytes(nullptr), MacBytes{});
    EXPECT_EQ(MacTextToBytes("00:11:22:33:44:55:66"), (MacBytes{0, 0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST(MacTextTest, BytesToUpperCaseText) {
    EXPECT_EQ(MacBytesToText(MacBytes{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}), L"0A:1B:2C:3D:4E:5F");
    EXPECT_EQ(MacBytesToText(MacBytes{}), L"00:00:00:00:00:00");
}

TEST(ReplyTest, AcceptsOnlyReplyLayout) {
    ReplyBuffer reply = MakeReply();
    EXPECT_TRUE(IsDeviceReply(reply.data(), 388));
    EXPECT_TRUE(IsDeviceReply(reply.data(), 25));
    EXPECT_FALSE(IsDeviceReply(reply.data(), 0));
    EXPECT_FALSE(IsDeviceReply(reply.data(), -1));

    ReplyBuffer other = reply;
    other[0] = 101;
    EXPECT_FALSE(IsDeviceReply(other.data(), 388));
    other = reply;
    other[3] = 0x01;  // 100 + 2^24
    EXPECT_FALSE(IsDeviceReply(other.data(), 388));

    other = reply;
    other[24] = 'X';
    EXPECT_FALSE(IsDeviceReply(other.data(), 388));
    other = reply;
    other[20] = 'c';  // "IpCaMera" spelled otherwise
    EXPECT_FALSE(IsDeviceReply(other.data(), 388));

    const DevicePacket request = MakeSearchRequest(1700000000);
    EXPECT_FALSE(IsDeviceReply(request.data(), static_cast<long>(request.size())));
}

TEST(ReplyTest, ShortDatagramIsJudgedByItsOwnBytesOnly) {
    // Exactly the received bytes are looked at: what lies behind them counts
    // as zero, so a reply cut before its magic's terminator still passes,
    // and one cut inside the magic fails.
    auto heap = std::make_unique<std::uint8_t[]>(24);
    const ReplyBuffer reply = MakeReply();
    std::memcpy(heap.get(), reply.data(), 24);
    EXPECT_TRUE(IsDeviceReply(heap.get(), 24));
    EXPECT_FALSE(IsDeviceReply(heap.get(), 20));
}

TEST(ReplyTest, ReadsFields) {
    ReplyBuffer b = MakeReply();
    b[8] = 0x00; b[9] = 0x00; b[10] = 0x00; b[11] = 0x50;
    Put(b, 28, "192.168.2.10");
    const std::uint8_t mac[] = {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F};
    std::memcpy(&b[92], mac, 6);
    Put(b, 196, "V1.2.3");
    Put(b, 228, "ZR420");
    Put(b, 292, "SN0001");
    Put(b, 324, "\xD4\xCB\xD0\xD0\xD5\xFD\xB3\xA3");  // 运行正常

    const DeviceReply reply(b);
    EXPECT_EQ(reply.Port(), 80);
    EXPECT_EQ(reply.Mac(), (MacBytes{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
    EXPECT_EQ(reply.MacText(), L"0A:1B:2C:3D:4E:5F");
    EXPECT_EQ(reply.IpText(), L"192.168.2.10");
    EXPECT_EQ(reply.FirmwareVersion(), L"V1.2.3");
    EXPECT_EQ(reply.ModelName(), L"ZR420");
    EXPECT_EQ(reply.SerialNo(), L"SN0001");
    EXPECT_EQ(reply.RunStatus(), L"运行正常");

    b[8] = 0x80; b[9] = 0x00; b[10] = 0x00; b[11] = 0x00;
    EXPECT_EQ(reply.Port(), -2147483647 - 1);
}

TEST(ReplyTest, TextWithoutTerminatorRunsOnButStopsAtBufferEnd) {
    // The buffer sits on the heap at exactly 388 bytes, so a read past its
    // end is caught by AddressSanitizer.
    auto b = std::make_unique<ReplyBuffer>(MakeReply());
    std::memset(&(*b)[324], 'S', 64);
    Put(*b, 196, std::string(32, 'F').c_str());  // runs into model_name
    Put(*b, 228, "ZR");
    const DeviceReply reply(*b);
    EXPECT_EQ(reply.RunStatus(), std::wstring(64, L'S'));
    EXPECT_EQ(reply.FirmwareVersion(), std::wstring(32, L'F') + L"ZR");
}
