// The computer's IPv4 addresses from getifaddrs.
#include "platform/local_addresses.h"

#include "platform/posix/interface_list.h"

namespace vimbrel::platform {

std::vector<LocalAddress> LocalIPv4Addresses() {
    std::vector<LocalAddress> addresses;
    const InterfaceList list = SystemInterfaces();
    for (const ifaddrs* i = list.get(); i; i = i->ifa_next) {
        if (!IsUpIPv4(*i)) continue;
        LocalAddress entry;
        entry.address = HostOrder(i->ifa_addr);
        if (i->ifa_netmask && i->ifa_netmask->sa_family == AF_INET)
            entry.netmask = HostOrder(i->ifa_netmask);
        addresses.push_back(entry);
    }
    return addresses;
}

std::vector<InterfaceAddress> InterfaceIPv4Addresses() {
    std::vector<InterfaceAddress> addresses;
    const InterfaceList list = SystemInterfaces();
    for (const ifaddrs* i = list.get(); i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        InterfaceAddress entry;
        entry.name = i->ifa_name;
        entry.address = HostOrder(i->ifa_addr);
        if (i->ifa_netmask && i->ifa_netmask->sa_family == AF_INET)
            entry.netmask = HostOrder(i->ifa_netmask);
        if ((i->ifa_flags & IFF_BROADCAST) && i->ifa_broadaddr &&
            i->ifa_broadaddr->sa_family == AF_INET)
            entry.broadcast = HostOrder(i->ifa_broadaddr);
        addresses.push_back(entry);
    }
    return addresses;
}

}  // namespace vimbrel::platform
