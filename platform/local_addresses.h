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

// The loopback network, 127.0.0.0/8 (host order): the one rule of what is
// loopback, for the sockets, the searches' addresses and the ARP probes.
bool IsLoopback(std::uint32_t address);

// The addresses that get a socket, as a look-up of the computer's own name
// gives them: those of its adapters, and loopback (127.0.0.0/8) only when
// there is no other; a search from 127.0.0.1 reaches no camera.
std::vector<LocalAddress> SocketAddresses();

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
