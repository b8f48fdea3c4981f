#pragma once
// The datagrams of the camera protocol: the 344-byte DevicePacket that the
// program sends, and the reader over a received DeviceReply.
#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace vimbrel::protocol {

inline constexpr std::uint16_t DEVICE_PORT = 9876;
inline constexpr const char* DEVICE_GROUP = "224.111.111.1";
inline constexpr const char* DEVICE_BROADCAST = "255.255.255.255";
inline constexpr std::size_t PACKET_SIZE = 344;
inline constexpr std::size_t REPLY_BUFFER_SIZE = 388;
inline constexpr char PACKET_MAGIC[] = "IpCamera";  // eight letters on the wire
inline constexpr std::size_t NET_CONFIG_SIZE = 188;
inline constexpr std::size_t CELL_BUFFER_SIZE = 32;

inline constexpr std::int32_t CMD_SEARCH = 100;
inline constexpr std::int32_t CMD_SET_NETWORK = 102;
inline constexpr std::int32_t CMD_REBOOT = 103;
inline constexpr std::int32_t CMD_FACTORY_RESET = 104;
inline constexpr std::int32_t CMD_SET_MODEL = 105;
inline constexpr std::int32_t CMD_MOTOR_START = 106;
inline constexpr std::int32_t CMD_MOTOR_STOP = 107;

using ReplyBuffer = std::array<std::uint8_t, REPLY_BUFFER_SIZE>;
using NetConfig = std::array<std::uint8_t, NET_CONFIG_SIZE>;
using CellBuffer = std::array<char, CELL_BUFFER_SIZE>;  // zero-terminated ANSI text
using MacBytes = std::array<std::uint8_t, 6>;

// Offsets of the DevicePacket fields.
namespace packet_offset {
inline constexpr std::size_t command = 0, stamp = 4, magic = 8, target_mac = 20, net_config = 28,
                             model_name = 216, serial_no = 248;
}
// Offsets of the net_config fields inside the block.
namespace net_config_offset {
inline constexpr std::size_t ip_address = 28, subnet_mask = 60, gateway = 92, extra_address1 = 124,
                             extra_address2 = 156;
inline constexpr std::size_t text_size = 32;
}  // namespace net_config_offset
// Offsets of the DeviceReply fields.
namespace reply_offset {
inline constexpr std::size_t command = 0, port = 8, magic = 16, ip_text = 28, mac = 92,
                             firmware_version = 196, model_name = 228, serial_no = 292,
                             run_status = 324;
}

// One request datagram: 344 bytes, zero but for the fields of its kind.
class DevicePacket {
public:
    explicit DevicePacket(std::int32_t command);  // command and magic set

    void SetStamp(std::time_t now);  // low 32 bits, big-endian
    void SetTargetMac(const MacBytes& mac);
    void SetNetConfig(const NetConfig& block);
    // Bytes of `name` without its terminator; a name that leaves no zero
    // byte in the 32-byte field (32 bytes or more) is left out: the field
    // stays zero.
    void SetModelName(const char* name);
    void SetSerialNo(const CellBuffer& serial);  // copied whole

    const std::uint8_t* data() const { return m_bytes.data(); }
    static constexpr std::size_t size() { return PACKET_SIZE; }
    const std::array<std::uint8_t, PACKET_SIZE>& bytes() const { return m_bytes; }

private:
    std::array<std::uint8_t, PACKET_SIZE> m_bytes{};
};

DevicePacket MakeSearchRequest(std::time_t now);

// Whether `size` received bytes are a DeviceReply: more than zero bytes,
// "IpCamera" and a zero byte at offset 16, code 100 at offset 0. Bytes at
// or beyond `size` count as zero and are never read.
bool IsDeviceReply(const std::uint8_t* bytes, long size);

// Six groups of two hex digits (either case) split by single colons, as the
// list writes them, nothing before or after; nothing for any other text.
std::optional<MacBytes> ParseMacText(std::string_view text);
std::wstring MacBytesToText(const MacBytes& mac);  // "%02X:%02X:…"

// Reads the fields of a received reply buffer, which must outlive it;
// never reads past the buffer's end.
class DeviceReply {
public:
    explicit DeviceReply(const ReplyBuffer& buffer) : m_buffer(buffer) {}
    explicit DeviceReply(const ReplyBuffer&&) = delete;  // would outlive its buffer

    std::int32_t Port() const;  // host order, signed as the list shows it
    MacBytes Mac() const;
    std::wstring MacText() const;
    std::wstring IpText() const;
    std::wstring FirmwareVersion() const;
    std::wstring ModelName() const;
    std::wstring SerialNo() const;
    std::wstring RunStatus() const;

private:
    std::wstring Text(std::size_t offset) const;
    const ReplyBuffer& m_buffer;
};

}  // namespace vimbrel::protocol
