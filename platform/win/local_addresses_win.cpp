// The computer's IPv4 addresses from the IP Helper's adapter list.
#include "platform/local_addresses.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <memory>

namespace vimbrel::platform {

namespace {

constexpr ULONG kFirstBufferSize = 16 * 1024;
constexpr int kAttempts = 4;  // the list may grow between two calls

std::uint32_t PrefixToMask(unsigned length) {
    if (length == 0) return 0;
    if (length >= 32) return 0xFFFFFFFFu;
    return ~((std::uint32_t{1} << (32 - length)) - 1);
}

}  // namespace

std::vector<LocalAddress> LocalIPv4Addresses() {
    std::vector<LocalAddress> addresses;
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                        GAA_FLAG_SKIP_DNS_SERVER | GAA_FLAG_SKIP_FRIENDLY_NAME;
    ULONG size = kFirstBufferSize;
    std::unique_ptr<std::byte[]> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < kAttempts && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer = std::make_unique<std::byte[]>(size);
        result = GetAdaptersAddresses(AF_INET, flags, nullptr,
                                      reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    if (result != NO_ERROR) return addresses;

    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.get()); adapter;
         adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp) continue;
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast;
             unicast = unicast->Next) {
            const SOCKADDR* sa = unicast->Address.lpSockaddr;
            if (!sa || sa->sa_family != AF_INET) continue;
            LocalAddress entry;
            entry.address = ntohl(reinterpret_cast<const sockaddr_in*>(sa)->sin_addr.s_addr);
            entry.netmask = PrefixToMask(unicast->OnLinkPrefixLength);
            addresses.push_back(entry);
        }
    }
    return addresses;
}

}  // namespace vimbrel::platform
