#pragma once
// Commands to one device: build the packet, refresh the sockets, send it on
// every live socket. Nothing is awaited.
#include <cstdint>

#include "protocol/device_identity.h"
#include "protocol/device_packet.h"
#include "protocol/local_sockets.h"

namespace vimbrel::protocol {

// Each send refreshes the sockets, then sends on every live socket and
// tells what it did (SendReport): nothing went out when the computer has no
// address or every send failed.
SendReport SendSetNetwork(LocalSockets& sockets, const NetConfig& block, const MacIdentity& mac);
SendReport SendSetModel(LocalSockets& sockets, const MacIdentity& mac, const char* modelName);
SendReport SendCommand(LocalSockets& sockets, std::int32_t command, const SerialIdentity& serial);

// The net_config block as the address assignment fills it: mask, gateway
// twice and 0.0.0.0; SetNetConfigAddress writes one device's address.
NetConfig MakeNetConfig(std::uint32_t subnetMask, std::uint32_t gateway);
void SetNetConfigAddress(NetConfig& block, const char* addressText);

}  // namespace vimbrel::protocol
