// The three command packets and their sends: set network, set model, plain
// command.
#include "protocol/command_sender.h"

#include <cstring>
#include <ctime>
#include <string>

#include "platform/ipv4_text.h"

namespace vimbrel::protocol {

namespace {

// Writes "%d.%d.%d.%d" of a host-order address into a zeroed text field.
void WriteAddressText(NetConfig& block, std::size_t offset, std::uint32_t address) {
    const std::string text = platform::FormatIPv4(address);  // at most 15 characters
    std::memset(&block[offset], 0, net_config_offset::text_size);
    std::memcpy(&block[offset], text.data(), text.size());
}

}  // namespace

SendReport SendSetNetwork(LocalSockets& sockets, const LocalSockets::SendTurn& turn,
                          const NetConfig& block, const MacIdentity& mac) {
    sockets.RefreshLocalSockets(turn);
    return sockets.SendToAllSockets(turn, MakeSetNetworkPacket(block, mac));
}

SendReport SendSetModel(LocalSockets& sockets, const LocalSockets::SendTurn& turn,
                        const MacIdentity& mac, const char* modelName) {
    sockets.RefreshLocalSockets(turn);
    return sockets.SendToAllSockets(turn, MakeSetModelPacket(mac, modelName));
}

SendReport SendCommand(LocalSockets& sockets, const LocalSockets::SendTurn& turn,
                       std::int32_t command, const SerialIdentity& serial) {
    sockets.RefreshLocalSockets(turn);
    return sockets.SendToAllSockets(turn, MakeCommandPacket(command, serial));
}

DevicePacket MakeSetNetworkPacket(const NetConfig& block, const MacIdentity& mac) {
    DevicePacket packet(CMD_SET_NETWORK);
    packet.SetTargetMac(mac.Bytes());
    packet.SetNetConfig(block);
    return packet;
}

DevicePacket MakeSetModelPacket(const MacIdentity& mac, const char* modelName) {
    DevicePacket packet(CMD_SET_MODEL);
    packet.SetTargetMac(mac.Bytes());
    packet.SetModelName(modelName);
    return packet;
}

DevicePacket MakeCommandPacket(std::int32_t command, const SerialIdentity& serial) {
    DevicePacket packet(command);
    packet.SetSerialNo(serial.Field());
    return packet;
}

NetConfig MakeNetConfig(std::uint32_t subnetMask, std::uint32_t gateway) {
    NetConfig block{};
    WriteAddressText(block, net_config_offset::subnet_mask, subnetMask);
    WriteAddressText(block, net_config_offset::gateway, gateway);
    WriteAddressText(block, net_config_offset::extra_address1, gateway);
    WriteAddressText(block, net_config_offset::extra_address2, 0);
    return block;
}

void SetNetConfigAddress(NetConfig& block, const char* addressText) {
    std::memset(&block[net_config_offset::ip_address], 0, net_config_offset::text_size);
    if (!addressText) return;
    const std::size_t length = strnlen(addressText, net_config_offset::text_size);
    if (length >= net_config_offset::text_size) return;  // too long: left out
    std::memcpy(&block[net_config_offset::ip_address], addressText, length);
}

}  // namespace vimbrel::protocol
