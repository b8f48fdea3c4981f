#pragma once
// The address of the simulator's own interface, which a set-network command
// moves for real (the simulator then runs alone in its namespace).
#include <optional>
#include <string>

namespace vimbrel::camsim {

// Prefix length with which `ip` stands on `iface`; nothing if it doesn't.
std::optional<int> InterfacePrefix(const std::string& iface, const std::string& ip);

// Replaces every IPv4 address of `iface` with ip/prefix, using the `ip`
// command. False if the new address couldn't be set.
bool MoveInterfaceAddress(const std::string& iface, const std::string& ip, int prefix);

}  // namespace vimbrel::camsim
