#include "platform/linux/raw_arp_request.h"

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <net/if_arp.h>
#include <netpacket/packet.h>
#include <poll.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/linux/unique_fd.h"

namespace vimbrel::platform {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto REPLY_WAIT = std::chrono::milliseconds(1000);
constexpr auto RESEND_AFTER = std::chrono::milliseconds(500);

// An Ethernet/IPv4 ARP message after the link header (RFC 826).
constexpr std::size_t ARP_MESSAGE_SIZE = 28;
namespace arp_offset {
constexpr std::size_t hardware_type = 0, protocol_type = 2, hardware_size = 4, protocol_size = 5,
                      operation = 6, sender_mac = 8, sender_ip = 14, target_mac = 18, target_ip = 24;
}
constexpr std::uint16_t ARP_REQUEST = 1, ARP_REPLY = 2;

using ArpMessage = std::array<std::uint8_t, ARP_MESSAGE_SIZE>;

void Put16(ArpMessage& message, std::size_t offset, std::uint16_t value) {
    message[offset] = static_cast<std::uint8_t>(value >> 8);
    message[offset + 1] = static_cast<std::uint8_t>(value);
}

void Put32(ArpMessage& message, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        message[offset + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

std::uint32_t Get32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

ArpMessage MakeRequest(const ConnectedInterface& via, std::uint32_t target) {
    ArpMessage message{};
    Put16(message, arp_offset::hardware_type, ARPHRD_ETHER);
    Put16(message, arp_offset::protocol_type, ETH_P_IP);
    message[arp_offset::hardware_size] = 6;
    message[arp_offset::protocol_size] = 4;
    Put16(message, arp_offset::operation, ARP_REQUEST);
    std::memcpy(&message[arp_offset::sender_mac], via.hardwareAddress.data(), 6);
    Put32(message, arp_offset::sender_ip, via.address);
    Put32(message, arp_offset::target_ip, target);  // target MAC stays zero
    return message;
}

bool IsReplyFrom(const std::uint8_t* bytes, ssize_t size, std::uint32_t target) {
    if (size < static_cast<ssize_t>(ARP_MESSAGE_SIZE))
        return false;
    const auto operation = static_cast<std::uint16_t>((bytes[arp_offset::operation] << 8) |
                                                      bytes[arp_offset::operation + 1]);
    return bytes[arp_offset::hardware_size] == 6 && bytes[arp_offset::protocol_size] == 4 &&
           operation == ARP_REPLY && Get32(bytes + arp_offset::sender_ip) == target;
}

bool SendRequest(int fd, const ConnectedInterface& via, const ArpMessage& request) {
    sockaddr_ll to{};
    to.sll_family = AF_PACKET;
    to.sll_protocol = htons(ETH_P_ARP);
    to.sll_ifindex = static_cast<int>(via.index);
    to.sll_halen = 6;
    std::memset(to.sll_addr, 0xFF, 6);  // link-layer broadcast
    return sendto(fd, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                  sizeof to) == static_cast<ssize_t>(request.size());
}

}  // namespace

std::optional<bool> RawArpRequestAnswered(const ConnectedInterface& via, std::uint32_t target) {
    UniqueFd fd(socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(ETH_P_ARP)));
    if (!fd.valid()) {
        if (errno == EPERM || errno == EACCES)
            return std::nullopt;
        return false;
    }
    if (!via.usesArp)
        return false;

    sockaddr_ll local{};
    local.sll_family = AF_PACKET;
    local.sll_protocol = htons(ETH_P_ARP);
    local.sll_ifindex = static_cast<int>(via.index);
    if (bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return false;

    const ArpMessage request = MakeRequest(via, target);
    const auto start = Clock::now();
    bool resent = false;
    if (!SendRequest(fd.get(), via, request))
        return false;

    for (;;) {
        const auto now = Clock::now();
        if (now - start >= REPLY_WAIT)
            return false;
        if (!resent && now - start >= RESEND_AFTER) {
            SendRequest(fd.get(), via, request);
            resent = true;
        }
        const auto until = resent ? start + REPLY_WAIT : start + RESEND_AFTER;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        pollfd watch{fd.get(), POLLIN, 0};
        const int ready = poll(&watch, 1, static_cast<int>(wait.count()));
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;
        std::array<std::uint8_t, 256> bytes{};
        const ssize_t size = recv(fd.get(), bytes.data(), bytes.size(), MSG_DONTWAIT);
        if (IsReplyFrom(bytes.data(), size, target))
            return true;
    }
}

}  // namespace vimbrel::platform
