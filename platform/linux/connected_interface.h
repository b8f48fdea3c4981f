#pragma once
#ifndef VIMBREL_PLATFORM_INTERNAL
#error "private to the platform library: include its interface headers in platform/"
#endif
// The interface through which an IPv4 address is reached directly.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vimbrel::platform {

// One IPv4 address of an up, non-loopback interface, with what an ARP
// request from it needs.
struct ConnectedInterface {
    std::string name;
    unsigned index = 0;
    std::uint32_t address = 0;  // host order
    std::uint32_t netmask = 0;  // host order
    bool usesArp = false;  // Ethernet-like, six-byte hardware address, ARP on
    std::array<std::uint8_t, 6> hardwareAddress{};
};

// The first interface address (in the system's order) whose network holds
// `target`; nothing when `target` is outside every directly connected one.
std::optional<ConnectedInterface> FindConnectedInterface(std::uint32_t target);

// Whether `address` is one of this computer's own IPv4 addresses, on any
// interface that is up.
bool IsOwnAddress(std::uint32_t address);

}  // namespace vimbrel::platform
