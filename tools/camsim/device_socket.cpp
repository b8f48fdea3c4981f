#include "tools/camsim/device_socket.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "platform/ipv4_text.h"
#include "platform/local_addresses.h"
#include "protocol/device_packet.h"

namespace vimbrel::camsim {
namespace {

struct NameIndexFree {
    void operator()(struct if_nameindex* list) const { if_freenameindex(list); }
};

bool IsLocalSubnetBroadcast(std::uint32_t destination) {
    for (const platform::InterfaceAddress& entry : platform::InterfaceIPv4Addresses()) {
        // Without a broadcast address the system reports the own one here.
        if (entry.broadcast == destination && entry.address != destination) return true;
    }
    return false;
}

}  // namespace

const char* DestinationKind(in_addr destination) {
    std::uint32_t address = ntohl(destination.s_addr);
    if (IN_MULTICAST(address)) return "multicast";
    if (address == INADDR_BROADCAST || IsLocalSubnetBroadcast(address)) return "broadcast";
    return "unicast";
}

std::string AddressText(const sockaddr_in& address) {
    return platform::FormatIPv4(ntohl(address.sin_addr.s_addr)) + ":" +
           std::to_string(ntohs(address.sin_port));
}

DeviceSocket::DeviceSocket(std::uint16_t port) {
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) return;
    int on = 1;
    setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(m_fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    // The log's order across several simulators is the order of arrival,
    // whenever each process gets to read.
    setsockopt(m_fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    // One process may play a thousand cameras that a batch reaches in one
    // sweep: room for all their datagrams (the lab runs as root).
    const int receiveBuffer = 8 * 1024 * 1024;
    setsockopt(m_fd, SOL_SOCKET, SO_RCVBUFFORCE, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(port);
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(m_fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        close(m_fd);
        m_fd = -1;
        return;
    }
    JoinGroupEverywhere();
}

DeviceSocket::~DeviceSocket() {
    if (m_fd >= 0) close(m_fd);
}

void DeviceSocket::JoinGroupEverywhere() {
    std::unique_ptr<struct if_nameindex, NameIndexFree> interfaces(if_nameindex());
    if (!interfaces) return;
    for (struct if_nameindex* entry = interfaces.get(); entry->if_index != 0; ++entry) {
        ip_mreqn request{};
        request.imr_multiaddr.s_addr = htonl(platform::ParseIPv4(protocol::DEVICE_GROUP).value());
        request.imr_ifindex = static_cast<int>(entry->if_index);
        setsockopt(m_fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request);
    }
}

Arrival DeviceSocket::Receive(std::uint8_t* buffer, std::size_t capacity) {
    Arrival arrival;
    iovec part{buffer, capacity};
    alignas(
        cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo)) + CMSG_SPACE(sizeof(timespec))] = {};
    msghdr message{};
    message.msg_name = &arrival.source;
    message.msg_namelen = sizeof arrival.source;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    arrival.size = recvmsg(m_fd, &message, MSG_DONTWAIT);
    if (arrival.size < 0) return arrival;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(header), sizeof info);
            arrival.destination = info.ipi_addr;
            arrival.ifindex = info.ipi_ifindex;
        } else if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_TIMESTAMPNS) {
            std::memcpy(&arrival.received, CMSG_DATA(header), sizeof arrival.received);
        }
    }
    return arrival;
}

void DeviceSocket::Send(const std::uint8_t* bytes, std::size_t size, const sockaddr_in& to,
                        int ifindex) {
    iovec part{const_cast<std::uint8_t*>(bytes), size};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = const_cast<sockaddr_in*>(&to);
    message.msg_namelen = sizeof to;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (ifindex > 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = IPPROTO_IP;
        header->cmsg_type = IP_PKTINFO;
        header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = ifindex;
        std::memcpy(CMSG_DATA(header), &info, sizeof info);
    }
    sendmsg(m_fd, &message, 0);  // a lost answer is a lost answer
}

}  // namespace vimbrel::camsim
