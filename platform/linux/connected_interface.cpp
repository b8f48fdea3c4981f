#include "platform/linux/connected_interface.h"

#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <netpacket/packet.h>

#include <cstring>

#include "platform/local_addresses.h"
#include "platform/posix/interface_list.h"

namespace vimbrel::platform {

namespace {

// Fills the hardware address from the interface's link-layer entry.
void ReadLinkLayer(const ifaddrs* list, ConnectedInterface& found, unsigned flags) {
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_PACKET ||
            found.name != entry->ifa_name)
            continue;
        const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
        if (link->sll_hatype == ARPHRD_ETHER && link->sll_halen == found.hardwareAddress.size()) {
            std::memcpy(found.hardwareAddress.data(), link->sll_addr, found.hardwareAddress.size());
            found.usesArp = !(flags & IFF_NOARP);
        }
        return;
    }
}

}  // namespace

std::optional<ConnectedInterface> FindConnectedInterface(std::uint32_t target) {
    const InterfaceList list = SystemInterfaces();
    for (const ifaddrs* entry = list.get(); entry; entry = entry->ifa_next) {
        if (!IsUpIPv4(*entry) || (entry->ifa_flags & IFF_LOOPBACK) || !entry->ifa_netmask) continue;
        const std::uint32_t address = HostOrder(entry->ifa_addr);
        const std::uint32_t netmask = HostOrder(entry->ifa_netmask);
        if ((address & netmask) != (target & netmask)) continue;
        ConnectedInterface found;
        found.name = entry->ifa_name;
        found.index = if_nametoindex(entry->ifa_name);
        found.address = address;
        found.netmask = netmask;
        if (found.index == 0) return std::nullopt;
        ReadLinkLayer(list.get(), found, entry->ifa_flags);
        return found;
    }
    return std::nullopt;
}

bool IsOwnAddress(std::uint32_t address) {
    for (const LocalAddress& local : LocalIPv4Addresses())
        if (local.address == address) return true;
    return false;
}

}  // namespace vimbrel::platform
