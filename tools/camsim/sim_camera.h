#pragma once
// One simulated camera: its settings, its reply to a search and what it does
// with a command addressed to it.
#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/device_packet.h"

namespace vimbrel::camsim {

// The settings a camera reports; texts are GBK bytes, as on the wire.
struct CameraSettings {
    std::string serial;
    std::string model;
    std::string ip;  // dotted decimal
    int prefix = 24;  // of the ip, for the interface
    protocol::MacBytes mac{};
    std::int32_t port = 80;
    std::string firmware;
    std::string status;
};

// What a command did to the camera, for the log and the interface.
struct CommandOutcome {
    std::string description;  // e.g. "set-network SN0001 192.168.2.20/24"
    bool addressChanged = false;
};

// A camera played by the simulator.
class SimCamera {
public:
    // `ignoreSetNetwork`: a set-network naming it changes nothing.
    SimCamera(const CameraSettings& startUp, int rebootSeconds, bool ignoreSetNetwork = false);

    const CameraSettings& Settings() const { return m_settings; }
    const CameraSettings& StartUpSettings() const { return m_startUp; }
    bool Silent(std::time_t now) const { return now < m_silentUntil; }

    // The 388-byte DeviceReply to a search.
    protocol::ReplyBuffer BuildReply() const;

    // Acts on a command packet (code already checked) if it names this
    // camera; nothing when it doesn't or when the command can't be carried
    // out (for example an address that isn't dotted decimal).
    std::optional<CommandOutcome> Apply(std::int32_t code, const std::uint8_t* packet,
                                        std::time_t now);

private:
    bool NamedByMac(const std::uint8_t* packet) const;
    bool NamedBySerial(const std::uint8_t* packet) const;
    std::optional<CommandOutcome> SetNetwork(const std::uint8_t* packet);

    CameraSettings m_startUp;
    CameraSettings m_settings;
    int m_rebootSeconds;
    bool m_ignoreSetNetwork;
    std::time_t m_silentUntil = 0;
};

// Prefix length of a contiguous dotted-decimal mask; nothing otherwise.
std::optional<int> MaskPrefix(const std::string& maskText);

// The wire's GBK bytes of a UTF-8 text (the command line's, or our own);
// what GBK lacks becomes '?'.
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace vimbrel::camsim
