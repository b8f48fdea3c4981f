// Search request layout, target fields at their limits, and how received
// replies are judged and read without running past their bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "protocol/device_packet.h"

using namespace vimbrel::protocol;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Where the fields lie: a request's, then a reply's.
constexpr std::size_t kRequestSize = 344, kRequestModelOffset = 216, kRequestSerialOffset = 248;
constexpr std::size_t kReplySize = 388, kReplyPortOffset = 8, kReplyMagicOffset = 16,
                      kReplyFirmwareOffset = 196, kReplyModelOffset = 228, kReplyStatusOffset = 324;

Bytes Slice(const std::uint8_t* data, std::size_t from, std::size_t to) {
    return Bytes(data + from, data + to);
}

// A reply buffer as a camera's answer would fill it: code 100, "IpCamera" at 16.
ReplyBuffer MakeReply() {
    ReplyBuffer b{};
    b[0] = 0x64;
    std::memcpy(&b[kReplyMagicOffset], "IpCamera", 9);
    return b;
}

}  // namespace

TEST(DevicePacketTest, SearchRequestCarriesStampAndMagic) {
    // The stamp is the low 32 bits of the time, highest byte first.
    const DevicePacket packet = MakeSearchRequest(static_cast<std::time_t>(0x1A0B0C0D0ELL));
    ASSERT_EQ(packet.size(), kRequestSize);
    EXPECT_EQ(Slice(packet.data(), 0, 16), (Bytes{0x64, 0x00, 0x00, 0x00, 0x0B, 0x0C, 0x0D, 0x0E,
                                                  0x49, 0x70, 0x43, 0x61, 0x6D, 0x65, 0x72, 0x61}));
    EXPECT_EQ(Slice(packet.data(), 16, kRequestSize), Bytes(kRequestSize - 16, 0));
}

TEST(DevicePacketTest, ModelNameOf31FitsAnd32IsLeftOut) {
    DevicePacket fits(CMD_SET_MODEL);
    fits.SetModelName(std::string(31, 'M').c_str());
    Bytes expected(31, 'M');
    expected.push_back(0);
    EXPECT_EQ(Slice(fits.data(), kRequestModelOffset, kRequestSerialOffset), expected);

    DevicePacket tooLong(CMD_SET_MODEL);
    tooLong.SetModelName(std::string(32, 'M').c_str());
    EXPECT_EQ(Slice(tooLong.data(), 16, kRequestSize),
              Bytes(kRequestSize - 16, 0));  // nor serial_no
}

TEST(MacTextTest, ReadsSixOctetsOrNothingAndPrintsUpperCase) {
    EXPECT_EQ(ParseMacText("0a:1B:2c:3D:4e:5F"), (MacBytes{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
    for (const char* bad :
         {"0:1:2:3:4:5", "00:1A:G2:33:44:55", "001:22:33:44:55:66", "00::22:33:44:55",
          " 00:11:22:33:44:55", "00:11:22:33:44:55:66", "00:11:22:33:44", ""})
        EXPECT_EQ(ParseMacText(bad), std::nullopt) << bad;
    EXPECT_EQ(MacBytesToText(MacBytes{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}), L"0A:1B:2C:3D:4E:5F");
}

TEST(ReplyTest, AcceptsOnlyTheReplyLayoutWithinItsOwnBytes) {
    const ReplyBuffer reply = MakeReply();
    EXPECT_TRUE(IsDeviceReply(reply.data(), 388));
    EXPECT_FALSE(IsDeviceReply(reply.data(), 0));
    EXPECT_FALSE(IsDeviceReply(reply.data(), -1));
    const struct {
        std::size_t offset;
        std::uint8_t value;
    } spoilers[] = {
        {3, 0x01},  // code 100 + 2^24
        {kReplyMagicOffset + 4, 'c'},  // "IpCaMera"
        {kReplyMagicOffset + 8, 'X'},  // no terminator after the magic
    };
    for (const auto& spoiler : spoilers) {
        ReplyBuffer other = reply;
        other[spoiler.offset] = spoiler.value;
        EXPECT_FALSE(IsDeviceReply(other.data(), 388)) << spoiler.offset;
    }
    const DevicePacket request = MakeSearchRequest(1700000000);  // magic at 8
    EXPECT_FALSE(IsDeviceReply(request.data(), static_cast<long>(request.size())));

    // Exactly the received bytes on the heap: what would lie behind them counts
    // as zero, so a datagram cut before the terminator passes, one cut inside
    // the magic fails, and AddressSanitizer sees any read past the end.
    auto heap = std::make_unique<std::uint8_t[]>(24);
    std::memcpy(heap.get(), reply.data(), 24);
    EXPECT_TRUE(IsDeviceReply(heap.get(), 24));
    EXPECT_FALSE(IsDeviceReply(heap.get(), 20));
}

TEST(ReplyTest, TextWithoutTerminatorRunsOnButStopsAtBufferEnd) {
    // Exactly 388 bytes on the heap: run_status fills 324..387 with no zero.
    auto b = std::make_unique<ReplyBuffer>(MakeReply());
    std::memset(&(*b)[kReplyStatusOffset], 'S', kReplySize - kReplyStatusOffset);
    std::memset(&(*b)[kReplyFirmwareOffset], 'F', 32);  // firmware runs into model_name
    std::memcpy(&(*b)[kReplyModelOffset], "ZR", 2);
    (*b)[kReplyPortOffset] = 0x80;  // port 0x80000000
    const DeviceReply reply(*b);
    EXPECT_EQ(reply.RunStatus(), std::wstring(64, L'S'));
    EXPECT_EQ(reply.FirmwareVersion(), std::wstring(32, L'F') + L"ZR");
    EXPECT_EQ(reply.ModelName(), L"ZR");
    EXPECT_EQ(reply.Port(), -2147483647 - 1);
}
