// The computer's IPv4 addresses from getifaddrs.
#include "platform/local_addresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <memory>
#include <net/if.h>
#include <netinet/in.h>

namespace vimbrel::platform {

namespace {

struct IfAddrsFree {
    void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

std::uint32_t HostOrder(const sockaddr* sa) {
    return ntohl(reinterpret_cast<const sockaddr_in*>(sa)->sin_addr.s_addr);
}

}  // namespace

std::vector<LocalAddress> LocalIPv4Addresses() {
    std::vector<LocalAddress> addresses;
    ifaddrs* raw = nullptr;
    if (getifaddrs(&raw) != 0) return addresses;
    const std::unique_ptr<ifaddrs, IfAddrsFree> list(raw);
    for (const ifaddrs* i = list.get(); i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_UP)) continue;
        LocalAddress entry;
        entry.address = HostOrder(i->ifa_addr);
        if (i->ifa_netmask && i->ifa_netmask->sa_family == AF_INET)
            entry.netmask = HostOrder(i->ifa_netmask);
        addresses.push_back(entry);
    }
    return addresses;
}

}  // namespace vimbrel::platform
