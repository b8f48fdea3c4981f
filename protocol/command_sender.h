#pragma once
// Commands to devices: the packet of each, and the send of one to one device
// (refresh the sockets, send it on every live socket). Nothing is awaited. A
// batch of them goes out in one sweep (command_sweep.h).
#include <cstdint>

#include "protocol/device_identity.h"
#include "protocol/device_packet.h"
#include "protocol/local_sockets.h"

namespace vimbrel::protocol {

// Each send, with the turn of `sockets`, refreshes the sockets, then sends
// on every live socket and tells what it did (SendReport): nothing went out
// when the computer has no address or every send failed.
[[nodiscard]] SendReport SendSetNetwork(LocalSockets& sockets, const LocalSockets::SendTurn& turn,
                                        const NetConfig& block, const MacIdentity& mac);
[[nodiscard]] SendReport SendSetModel(LocalSockets& sockets, const LocalSockets::SendTurn& turn,
                                      const MacIdentity& mac, const char* modelName);
[[nodiscard]] SendReport SendCommand(LocalSockets& sockets, const LocalSockets::SendTurn& turn,
                                     std::int32_t command, const SerialIdentity& serial);

// The packets those sends send.
DevicePacket MakeSetNetworkPacket(const NetConfig& block, const MacIdentity& mac);
DevicePacket MakeSetModelPacket(const MacIdentity& mac, const char* modelName);
DevicePacket MakeCommandPacket(std::int32_t command, const SerialIdentity& serial);

// The net_config block as the address assignment fills it: mask, gateway
// twice and 0.0.0.0; SetNetConfigAddress writes one device's address.
NetConfig MakeNetConfig(std::uint32_t subnetMask, std::uint32_t gateway);
void SetNetConfigAddress(NetConfig& block, const char* addressText);

}  // namespace vimbrel::protocol
