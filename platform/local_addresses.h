#pragma once
// The IPv4 addresses of this computer's interfaces that are up, loopback
// included, in the order the system lists them. Host order.
#include <cstdint>
#include <string>
#include <vector>

namespace vimbrel::platform {

struct LocalAddress {
    std::uint32_t address = 0;
    std::uint32_t netmask = 0;
};

std::vector<LocalAddress> LocalIPv4Addresses();

// Every IPv4 address of every interface, up or not, with the interface's
// name; `broadcast` is the subnet broadcast address, 0 where the interface
// has none. The simulator reads its own interface through this.
struct InterfaceAddress {
    std::string name;
    std::uint32_t address = 0;
    std::uint32_t netmask = 0;
    std::uint32_t broadcast = 0;
};
std::vector<InterfaceAddress> InterfaceIPv4Addresses();

}  // namespace vimbrel::platform
