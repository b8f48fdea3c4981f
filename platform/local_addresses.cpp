// Which local addresses get a socket.
#include "platform/local_addresses.h"

#include <algorithm>

namespace vimbrel::platform {

namespace {

bool IsLoopback(const LocalAddress& local) { return (local.address >> 24) == 127; }

}  // namespace

std::vector<LocalAddress> SocketAddresses() {
    std::vector<LocalAddress> addresses = LocalIPv4Addresses();
    if (!std::all_of(addresses.begin(), addresses.end(), IsLoopback))
        std::erase_if(addresses, IsLoopback);
    return addresses;
}

}  // namespace vimbrel::platform
