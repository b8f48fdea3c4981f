#pragma once
// The local port of the computer's socket on one of its addresses.
#include <cstdint>

#include "platform/udp_socket.h"
#include "protocol/local_sockets.h"
#include "tests/support/addresses.h"

namespace vimbrel::test {

// The port of the open socket on `address` in `sockets`; 0 when there is none.
inline std::uint16_t PortOf(const protocol::LocalSockets::Guard& sockets,
                            std::uint32_t address = kComputer) {
    for (const protocol::LocalSocket& entry : sockets.Entries())
        if (entry.address == address && entry.socket != platform::kInvalidSocket)
            return platform::SocketLocalPort(entry.socket).value_or(0);
    return 0;
}

}  // namespace vimbrel::test
