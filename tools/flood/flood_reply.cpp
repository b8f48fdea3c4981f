#include "tools/flood/flood_reply.h"

#include <cstdio>
#include <cstring>

namespace replyflood {

using namespace vimbrel::protocol;

ReplyBuffer FloodReply(std::uint32_t index) {
    ReplyBuffer reply{};
    reply[reply_offset::command] = CMD_SEARCH;  // 100, little-endian
    reply[reply_offset::port + 3] = 80;  // big-endian
    std::memcpy(reply.data() + reply_offset::magic, PACKET_MAGIC, 8);
    const std::uint8_t mac[6] = {0x02,
                                 0x46,
                                 0x4C,
                                 static_cast<std::uint8_t>(index >> 16),
                                 static_cast<std::uint8_t>(index >> 8),
                                 static_cast<std::uint8_t>(index)};
    std::memcpy(reply.data() + reply_offset::mac, mac, sizeof mac);
    char text[32];
    std::snprintf(text, sizeof text, "10.%u.%u.%u", (index >> 16) & 255u, (index >> 8) & 255u,
                  index & 255u);
    std::memcpy(reply.data() + reply_offset::ip_text, text, std::strlen(text));
    std::snprintf(text, sizeof text, "FLOOD-%u", index);
    std::memcpy(reply.data() + reply_offset::serial_no, text, std::strlen(text));
    std::memcpy(reply.data() + reply_offset::model_name, "FLOOD", 5);
    std::memcpy(reply.data() + reply_offset::firmware_version, "V0", 2);
    return reply;
}

}  // namespace replyflood
