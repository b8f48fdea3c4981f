#pragma once
// IPv4 addresses in host order, written as their four numbers, and the
// computer's address in the private test networks.
#include <cstdint>

namespace vimbrel::test {

// a.b.c.d in host order.
constexpr std::uint32_t Ip(int a, int b, int c, int d) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(b) << 16) | (std::uint32_t(c) << 8) |
           std::uint32_t(d);
}

// The computer on the first link of the test networks.
inline constexpr std::uint32_t kComputer = Ip(192, 168, 2, 100);

}  // namespace vimbrel::test
