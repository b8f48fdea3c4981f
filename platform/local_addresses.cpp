// Which local addresses get a socket.
#include "platform/local_addresses.h"

#include <algorithm>

namespace vimbrel::platform {

bool IsLoopback(std::uint32_t address) { return (address >> 24) == 127; }

std::vector<LocalAddress> SocketAddresses() {
    std::vector<LocalAddress> addresses = LocalIPv4Addresses();
    const auto loopback = [](const LocalAddress& local) { return IsLoopback(local.address); };
    if (!std::all_of(addresses.begin(), addresses.end(), loopback))
        std::erase_if(addresses, loopback);
    return addresses;
}

}  // namespace vimbrel::platform
