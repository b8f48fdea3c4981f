#pragma once
// How a command names its device. Shared by the window and the command line;
// no toolkit.
//
// A command reaches every device on the network and the device picks it out
// by the identity inside: the serial number (reboot, factory reset, motor)
// or the MAC address (network settings, product model). The two identities
// are types of their own that only their checking functions make, and the
// senders take nothing else: a row whose identity can't be written whole has
// none and is skipped, never sent with a zeroed field (zeros would name some
// other device, one with an empty serial number or an all-zero MAC address,
// or none), and a MAC can't go out where a serial number belongs.
#include <optional>
#include <string>
#include <string_view>

#include "protocol/device_packet.h"

namespace vimbrel::protocol {

class SerialIdentity;
class MacIdentity;

// The serial number text as the 32-byte serial_no field: its code-page bytes
// and a terminator, zero-filled. Nothing when the text has more than 30
// characters or its code-page form with the terminator exceeds 32 bytes.
std::optional<SerialIdentity> CheckSerialIdentity(const std::wstring& serialText);

// The MAC text as six octets: six groups of two hex digits (either case)
// joined by colons, the form the list shows, and nothing else. Nothing for
// any other text, the empty one included.
std::optional<MacIdentity> CheckMacIdentity(std::string_view macText);
std::optional<MacIdentity> CheckMacIdentity(const std::wstring& macText);

class SerialIdentity {
public:
    const CellBuffer& Field() const { return m_field; }
    bool operator==(const SerialIdentity&) const = default;

private:
    explicit SerialIdentity(const CellBuffer& field) : m_field(field) {}
    friend std::optional<SerialIdentity> CheckSerialIdentity(const std::wstring& serialText);
    CellBuffer m_field;
};

class MacIdentity {
public:
    const MacBytes& Bytes() const { return m_bytes; }
    bool operator==(const MacIdentity&) const = default;

private:
    explicit MacIdentity(const MacBytes& bytes) : m_bytes(bytes) {}
    friend std::optional<MacIdentity> CheckMacIdentity(std::string_view macText);
    MacBytes m_bytes;
};

}  // namespace vimbrel::protocol
