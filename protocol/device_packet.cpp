// Building request datagrams and reading received replies.
#include "protocol/device_packet.h"

#include <cstdio>
#include <cstring>

#include "platform/code_page.h"

namespace vimbrel::protocol {

namespace {

constexpr std::size_t kMagicLength = 8;
constexpr std::size_t kModelNameSize = 32;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

DevicePacket::DevicePacket(std::int32_t command) {
    const auto code = static_cast<std::uint32_t>(command);
    for (std::size_t i = 0; i < 4; ++i)
        m_bytes[packet_offset::command + i] = static_cast<std::uint8_t>(code >> (8 * i));
    std::memcpy(&m_bytes[packet_offset::magic], PACKET_MAGIC, kMagicLength);
}

void DevicePacket::SetStamp(std::time_t now) {
    const auto low = static_cast<std::uint32_t>(static_cast<std::uint64_t>(now));
    for (std::size_t i = 0; i < 4; ++i)
        m_bytes[packet_offset::stamp + i] = static_cast<std::uint8_t>(low >> (24 - 8 * i));
}

void DevicePacket::SetTargetMac(const MacBytes& mac) {
    std::memcpy(&m_bytes[packet_offset::target_mac], mac.data(), mac.size());
}

void DevicePacket::SetNetConfig(const NetConfig& block) {
    std::memcpy(&m_bytes[packet_offset::net_config], block.data(), block.size());
}

void DevicePacket::SetModelName(const char* name) {
    std::memset(&m_bytes[packet_offset::model_name], 0, kModelNameSize);
    if (!name) return;
    const std::size_t length = strnlen(name, kModelNameSize);
    if (length >= kModelNameSize) return;
    std::memcpy(&m_bytes[packet_offset::model_name], name, length);
}

void DevicePacket::SetSerialNo(const CellBuffer& serial) {
    std::memcpy(&m_bytes[packet_offset::serial_no], serial.data(), serial.size());
}

DevicePacket MakeSearchRequest(std::time_t now) {
    DevicePacket packet(CMD_SEARCH);
    packet.SetStamp(now);
    return packet;
}

bool IsDeviceReply(const std::uint8_t* bytes, long size) {
    if (!bytes || size <= 0) return false;
    const auto at = [&](std::size_t i) -> std::uint8_t {
        return i < static_cast<std::size_t>(size) ? bytes[i] : 0;
    };
    for (std::size_t i = 0; i <= kMagicLength; ++i)  // the magic and its zero byte
        if (at(reply_offset::magic + i) != static_cast<std::uint8_t>(PACKET_MAGIC[i])) return false;
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < 4; ++i)
        code |= static_cast<std::uint32_t>(at(reply_offset::command + i)) << (8 * i);
    return static_cast<std::int32_t>(code) == CMD_SEARCH;
}

std::optional<MacBytes> ParseMacText(std::string_view text) {
    MacBytes mac{};
    std::size_t p = 0;
    for (std::size_t group = 0; group < mac.size(); ++group) {
        if (group > 0) {
            if (p >= text.size() || text[p] != ':') return std::nullopt;
            ++p;
        }
        int value = 0;
        int digits = 0;
        for (int d; digits < 2 && p < text.size() && (d = HexDigit(text[p])) >= 0; ++p, ++digits)
            value = value * 16 + d;
        if (digits != 2) return std::nullopt;
        mac[group] = static_cast<std::uint8_t>(value);
    }
    if (p != text.size()) return std::nullopt;
    return mac;
}

std::wstring MacBytesToText(const MacBytes& mac) {
    wchar_t text[18];
    std::swprintf(text, 18, L"%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3],
                  mac[4], mac[5]);
    return text;
}

std::int32_t DeviceReply::Port() const {
    std::uint32_t port = 0;
    for (std::size_t i = 0; i < 4; ++i) port = (port << 8) | m_buffer[reply_offset::port + i];
    return static_cast<std::int32_t>(port);
}

MacBytes DeviceReply::Mac() const {
    MacBytes mac{};
    std::memcpy(mac.data(), &m_buffer[reply_offset::mac], mac.size());
    return mac;
}

std::wstring DeviceReply::MacText() const { return MacBytesToText(Mac()); }
std::wstring DeviceReply::IpText() const { return Text(reply_offset::ip_text); }
std::wstring DeviceReply::FirmwareVersion() const { return Text(reply_offset::firmware_version); }
std::wstring DeviceReply::ModelName() const { return Text(reply_offset::model_name); }
std::wstring DeviceReply::SerialNo() const { return Text(reply_offset::serial_no); }
std::wstring DeviceReply::RunStatus() const { return Text(reply_offset::run_status); }

std::wstring DeviceReply::Text(std::size_t offset) const {
    // Up to the first zero byte, across the field's end if need be, but never
    // beyond the last byte of the buffer.
    return platform::AnsiToWide(reinterpret_cast<const char*>(&m_buffer[offset]),
                                m_buffer.size() - offset);
}

}  // namespace vimbrel::protocol
