#include "tools/camsim/request_kind.h"

#include <cstring>

#include "protocol/device_packet.h"

namespace vimbrel::camsim {
namespace {

using namespace vimbrel::protocol;

std::int32_t LittleEndianCode(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
}

bool MagicAt(const std::uint8_t* bytes, std::size_t offset) {
    return std::memcmp(bytes + offset, PACKET_MAGIC, 8) == 0;
}

bool LooksLikeReply(const std::uint8_t* bytes, std::size_t size) {
    return size >= reply_offset::magic + 9 && MagicAt(bytes, reply_offset::magic) &&
           bytes[reply_offset::magic + 8] == 0;
}

}  // namespace

bool IsSearchRequest(const std::uint8_t* bytes, std::size_t size) {
    return size >= PACKET_SIZE && LittleEndianCode(bytes) == CMD_SEARCH &&
           MagicAt(bytes, packet_offset::magic) && !LooksLikeReply(bytes, size);
}

std::optional<std::int32_t> CommandCode(const std::uint8_t* bytes, std::size_t size) {
    if (size < PACKET_SIZE || !MagicAt(bytes, packet_offset::magic)) return std::nullopt;
    std::int32_t code = LittleEndianCode(bytes);
    if (code < CMD_SET_NETWORK || code > CMD_MOTOR_STOP) return std::nullopt;
    return code;
}

}  // namespace vimbrel::camsim
