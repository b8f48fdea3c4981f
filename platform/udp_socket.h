#pragma once
// UDP sockets of the IPv4 family, as the device protocol uses them.
// Addresses are 32-bit numbers in host order (first octet in the top byte).
// Every call below that can fail leaves why in LastSocketError()
// (socket_error.h), and no error when it succeeded.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/socket_error.h"

namespace vimbrel::platform {

#ifdef _WIN32
using SocketHandle = std::uintptr_t;  // SOCKET
inline constexpr SocketHandle kInvalidSocket = ~SocketHandle{0};
#else
using SocketHandle = int;
inline constexpr SocketHandle kInvalidSocket = -1;
#endif

// A datagram socket of the IPv4 family; kInvalidSocket on failure.
SocketHandle OpenUdpSocket();
// SO_BROADCAST on (int 1).
bool EnableBroadcast(SocketHandle s);
bool BindSocket(SocketHandle s, std::uint32_t address, std::uint16_t port);
// The address the socket layer reports for the socket (getsockname).
std::optional<std::uint32_t> SocketLocalAddress(SocketHandle s);
std::optional<std::uint16_t> SocketLocalPort(SocketHandle s);
bool SendDatagram(SocketHandle s, const void* data, std::size_t size, std::uint32_t to,
                  std::uint16_t port);
// Asks for a receive buffer of `bytes` (SO_RCVBUF; beyond the system's
// limit where the process may lift it). Returns the size the system
// reports afterwards, 0 if it can't be read (the only failure it tells). Linux without privilege
// caps the request at net.core.rmem_max and reports twice the size it grants.
std::size_t SetReceiveBuffer(SocketHandle s, std::size_t bytes);

// Asks the system to tell, with each datagram received, how many datagrams
// it has dropped on the socket for want of room in its receive buffer
// (Linux: SO_RXQ_OVFL). False where the system keeps no such count
// (Windows).
bool EnableDropCount(SocketHandle s);

// The system's running count of datagrams dropped on the socket, read at
// once (Linux: SO_MEMINFO), for the drops after the last datagram that told
// it. False where it can't be read (Windows).
bool ReadDropCount(SocketHandle s, std::uint32_t& count);

inline constexpr long kReceiveFailed = -1;
inline constexpr long kNothingWaiting = -2;
// Takes one waiting datagram without blocking: bytes received (a datagram
// longer than `capacity` is cut to it; 0 for an empty datagram),
// kNothingWaiting when no datagram is waiting, kReceiveFailed on failure.
// With `dropCount`, a datagram that carries the system's running count of
// datagrams dropped on the socket (EnableDropCount) sets it there; it is
// left alone otherwise.
long ReceiveDatagram(SocketHandle s, void* buffer, std::size_t capacity,
                     std::uint32_t* dropCount = nullptr);
void CloseSocket(SocketHandle s);

// Lets another thread end a WaitReadable at once: a pipe on POSIX, an event
// on Windows. A Wake while nobody waits makes the next wait return at once.
class WaitWake {
public:
    WaitWake();
    ~WaitWake();
    WaitWake(const WaitWake&) = delete;
    WaitWake& operator=(const WaitWake&) = delete;

    // Any thread.
    void Wake();

    struct Handles;  // the platform's own, in its source file
    Handles& Native() { return *m_handles; }

private:
    std::unique_ptr<Handles> m_handles;
};

// Waits until one of `sockets` can be read, `wake` is woken or `timeout`
// passes, however many sockets there are. Returns the sockets that may be
// read (Windows reports all of them when any is: each is read until it
// would block); empty after a timeout or a wake. `failed` is set when the
// wait itself failed.
std::vector<SocketHandle> WaitReadable(const std::vector<SocketHandle>& sockets,
                                       std::chrono::milliseconds timeout, WaitWake& wake,
                                       bool& failed);

}  // namespace vimbrel::platform
