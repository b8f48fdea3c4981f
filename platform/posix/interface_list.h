#pragma once
#ifndef VIMBREL_PLATFORM_INTERNAL
#error "private to the platform library: include its interface headers in platform/"
#endif
// The system's list of interface addresses (getifaddrs), freed with its
// owner.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstdint>
#include <memory>

namespace vimbrel::platform {

struct InterfaceListFree {
    void operator()(ifaddrs* list) const { freeifaddrs(list); }
};
using InterfaceList = std::unique_ptr<ifaddrs, InterfaceListFree>;

// Null when the system can't give the list.
inline InterfaceList SystemInterfaces() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return nullptr;
    return InterfaceList(list);
}

// An IPv4 socket address's address, host order.
inline std::uint32_t HostOrder(const sockaddr* address) {
    return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

// An IPv4 address of an interface that is up.
inline bool IsUpIPv4(const ifaddrs& entry) {
    return entry.ifa_addr && entry.ifa_addr->sa_family == AF_INET && (entry.ifa_flags & IFF_UP);
}

}  // namespace vimbrel::platform
