#include "tools/camsim/sim_camera.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

#include "platform/code_page.h"
#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"

namespace vimbrel::camsim {
namespace {

using namespace vimbrel::protocol;

// Text of a fixed-width field: up to its first zero byte or its end.
std::string FieldText(const std::uint8_t* field, std::size_t width) {
    std::size_t length = 0;
    while (length < width && field[length] != 0) ++length;
    return std::string(reinterpret_cast<const char*>(field), length);
}

// Writes `text` and its terminator into a zero field; a text too long for
// the field is left out.
void PutText(ReplyBuffer& reply, std::size_t offset, std::size_t width, const std::string& text) {
    if (text.size() >= width) return;
    std::memcpy(reply.data() + offset, text.data(), text.size());
}

}  // namespace

std::optional<int> MaskPrefix(const std::string& maskText) {
    const std::optional<std::uint32_t> mask = platform::ParseIPv4(maskText);
    if (!mask || !platform::IsContiguousMask(*mask)) return std::nullopt;
    return platform::MaskPrefixLength(*mask);
}

std::string Utf8ToGbk(std::string_view utf8) {
    return platform::WideToAnsi(platform::FromUtf8(utf8));
}

SimCamera::SimCamera(const CameraSettings& startUp, int rebootSeconds, bool ignoreSetNetwork)
    : m_startUp(startUp),
      m_settings(startUp),
      m_rebootSeconds(rebootSeconds),
      m_ignoreSetNetwork(ignoreSetNetwork) {}

ReplyBuffer SimCamera::BuildReply() const {
    ReplyBuffer reply{};
    reply[reply_offset::command] = CMD_SEARCH;  // 100, little-endian
    std::uint32_t port = static_cast<std::uint32_t>(m_settings.port);
    reply[reply_offset::port + 0] = static_cast<std::uint8_t>(port >> 24);
    reply[reply_offset::port + 1] = static_cast<std::uint8_t>(port >> 16);
    reply[reply_offset::port + 2] = static_cast<std::uint8_t>(port >> 8);
    reply[reply_offset::port + 3] = static_cast<std::uint8_t>(port);
    std::memcpy(reply.data() + reply_offset::magic, PACKET_MAGIC, 8);  // byte 24 stays zero
    PutText(reply, reply_offset::ip_text, 64, m_settings.ip);
    std::memcpy(reply.data() + reply_offset::mac, m_settings.mac.data(), 6);
    PutText(reply, reply_offset::firmware_version, 32, m_settings.firmware);
    PutText(reply, reply_offset::model_name, 64, m_settings.model);
    PutText(reply, reply_offset::serial_no, 32, m_settings.serial);
    PutText(reply, reply_offset::run_status, 64, m_settings.status);
    return reply;
}

bool SimCamera::NamedByMac(const std::uint8_t* packet) const {
    return std::memcmp(packet + packet_offset::target_mac, m_settings.mac.data(), 6) == 0;
}

bool SimCamera::NamedBySerial(const std::uint8_t* packet) const {
    std::string serial = FieldText(packet + packet_offset::serial_no, CELL_BUFFER_SIZE);
    return !serial.empty() && serial == m_settings.serial;
}

std::optional<CommandOutcome> SimCamera::Apply(std::int32_t code, const std::uint8_t* packet,
                                               std::time_t now) {
    bool byMac = code == CMD_SET_NETWORK || code == CMD_SET_MODEL;
    if (byMac ? !NamedByMac(packet) : !NamedBySerial(packet)) return std::nullopt;

    CommandOutcome outcome;
    switch (code) {
    case CMD_SET_NETWORK: return SetNetwork(packet);
    case CMD_SET_MODEL: {
        std::string model = FieldText(packet + packet_offset::model_name, CELL_BUFFER_SIZE);
        if (model.empty()) return std::nullopt;
        m_settings.model = model;
        outcome.description = "set-model";
        break;
    }
    case CMD_REBOOT:
        m_silentUntil = now + m_rebootSeconds;
        outcome.description = "reboot";
        break;
    case CMD_FACTORY_RESET:
        outcome.addressChanged =
            m_settings.ip != m_startUp.ip || m_settings.prefix != m_startUp.prefix;
        m_settings = m_startUp;
        outcome.description =
            "factory-reset " + m_settings.ip + "/" + std::to_string(m_settings.prefix);
        break;
    case CMD_MOTOR_START:
        m_settings.status = Utf8ToGbk("马达运行");
        outcome.description = "motor-start";
        break;
    case CMD_MOTOR_STOP:
        m_settings.status = Utf8ToGbk("马达停止");
        outcome.description = "motor-stop";
        break;
    default: return std::nullopt;
    }
    return outcome;
}

std::optional<CommandOutcome> SimCamera::SetNetwork(const std::uint8_t* packet) {
    const std::uint8_t* block = packet + packet_offset::net_config;
    std::string ip = FieldText(block + net_config_offset::ip_address, net_config_offset::text_size);
    if (!platform::IsDottedQuad(ip)) return std::nullopt;
    std::string mask =
        FieldText(block + net_config_offset::subnet_mask, net_config_offset::text_size);
    int prefix = MaskPrefix(mask).value_or(m_settings.prefix);

    CommandOutcome outcome;
    if (m_ignoreSetNetwork) {
        outcome.description = "ignored set-network " + ip + "/" + std::to_string(prefix);
        return outcome;
    }
    outcome.addressChanged = ip != m_settings.ip || prefix != m_settings.prefix;
    m_settings.ip = ip;
    m_settings.prefix = prefix;
    outcome.description = "set-network " + ip + "/" + std::to_string(prefix);
    return outcome;
}

}  // namespace vimbrel::camsim
