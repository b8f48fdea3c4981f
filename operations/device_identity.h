#pragma once
// How a command names its device, and when a row can't be named at all.
// Shared by the window and the command line; no toolkit.
//
// A command reaches every device on the network and the device picks it out
// by the identity inside: the serial number (reboot, factory reset, motor)
// or the MAC address (network settings, product model). A row whose identity
// can't be written whole is skipped, never sent with a zeroed field: zeros
// would name some other device (one with an empty serial number or an
// all-zero MAC address), or none.
#include <optional>
#include <string>
#include <string_view>

#include "protocol/device_packet.h"

namespace vimbrel {

// The serial number text as the 32-byte serial_no field: its code-page bytes
// and a terminator, zero-filled. Nothing when the text has more than 30
// characters or its code-page form with the terminator exceeds 32 bytes.
std::optional<protocol::CellBuffer> SerialIdentity(const std::wstring& serialText);

// The MAC text as six octets: six groups of two hex digits (either case)
// joined by colons, the form the list shows, and nothing else. Nothing for
// any other text, the empty one included.
std::optional<protocol::MacBytes> MacIdentity(std::string_view macText);

}  // namespace vimbrel
