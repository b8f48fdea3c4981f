#pragma once
// TODO(cli): replace with the protocol's MAC text parser once it lands.
#include <cctype>
#include <optional>
#include <string>

#include "protocol/device_packet.h"

namespace vimbrel::cli {

inline std::optional<protocol::MacBytes> ParseMacText(const std::string& text) {
    if (text.size() != 17) return std::nullopt;
    protocol::MacBytes mac{};
    for (std::size_t i = 0; i < 6; ++i) {
        const char hi = text[3 * i], lo = text[3 * i + 1];
        if (!std::isxdigit(static_cast<unsigned char>(hi)) || !std::isxdigit(static_cast<unsigned char>(lo)))
            return std::nullopt;
        if (i < 5 && text[3 * i + 2] != ':') return std::nullopt;
        mac[i] = static_cast<std::uint8_t>(std::stoi(text.substr(3 * i, 2), nullptr, 16));
    }
    return mac;
}

}  // namespace vimbrel::cli
