#pragma once
// The IPv4 addresses of this computer's interfaces that are up, loopback
// included, in the order the system lists them. Host order.
#include <cstdint>
#include <vector>

namespace vimbrel::platform {

struct LocalAddress {
    std::uint32_t address = 0;
    std::uint32_t netmask = 0;
};

std::vector<LocalAddress> LocalIPv4Addresses();

}  // namespace vimbrel::platform
