// The computer's IPv4 addresses from the IP Helper's adapter list.
#include "platform/local_addresses.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <memory>
#include <utility>

namespace vimbrel::platform {

namespace {

constexpr ULONG kFirstBufferSize = 16 * 1024;
constexpr int kAttempts = 4;  // the list may grow between two calls

std::uint32_t PrefixToMask(unsigned length) {
    if (length == 0) return 0;
    if (length >= 32) return 0xFFFFFFFFu;
    return ~((std::uint32_t{1} << (32 - length)) - 1);
}

// Calls `visit` for each IPv4 address of each adapter, in the system's
// order, with whether the adapter is up.
template <typename Visit>
void ForEachAdapterAddress(Visit visit) {
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = kFirstBufferSize;
    std::unique_ptr<std::byte[]> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < kAttempts && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer = std::make_unique<std::byte[]>(size);
        result = GetAdaptersAddresses(AF_INET, flags, nullptr,
                                      reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    if (result != NO_ERROR) return;

    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.get()); adapter;
         adapter = adapter->Next) {
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast;
             unicast = unicast->Next) {
            const SOCKADDR* sa = unicast->Address.lpSockaddr;
            if (!sa || sa->sa_family != AF_INET) continue;
            visit(*adapter, ntohl(reinterpret_cast<const sockaddr_in*>(sa)->sin_addr.s_addr),
                  PrefixToMask(unicast->OnLinkPrefixLength));
        }
    }
}

}  // namespace

std::vector<LocalAddress> LocalIPv4Addresses() {
    std::vector<LocalAddress> addresses;
    ForEachAdapterAddress(
        [&](const IP_ADAPTER_ADDRESSES& adapter, std::uint32_t address, std::uint32_t netmask) {
            if (adapter.OperStatus == IfOperStatusUp) addresses.push_back({address, netmask});
        });
    return addresses;
}

std::vector<InterfaceAddress> InterfaceIPv4Addresses() {
    std::vector<InterfaceAddress> addresses;
    ForEachAdapterAddress([&](const IP_ADAPTER_ADDRESSES& adapter, std::uint32_t address,
                              std::uint32_t netmask) {
        InterfaceAddress entry;
        entry.name = adapter.AdapterName;
        entry.address = address;
        entry.netmask = netmask;
        // Windows keeps no broadcast address of its own: the network's last.
        const bool hasBroadcast =
            adapter.IfType != IF_TYPE_SOFTWARE_LOOPBACK && netmask != 0 && netmask != 0xFFFFFFFFu;
        entry.broadcast = hasBroadcast ? (address | ~netmask) : 0;
        addresses.push_back(std::move(entry));
    });
    return addresses;
}

}  // namespace vimbrel::platform
