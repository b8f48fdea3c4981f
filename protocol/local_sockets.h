#pragma once
// One UDP socket per local IPv4 address, and the fan-out send of every
// DevicePacket on all of them.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <vector>

#include "platform/local_addresses.h"
#include "platform/udp_socket.h"
#include "protocol/device_packet.h"

namespace vimbrel::protocol {

// What one fan-out send did: the live sockets it used and the datagrams that
// went out. No socket means no local address; sockets but no datagram means
// every send failed.
struct SendReport {
    std::size_t sockets = 0;
    std::size_t sent = 0;
};

struct LocalSocket {
    platform::SocketHandle socket = platform::kInvalidSocket;  // invalid = dead
    std::uint32_t address = 0;                                 // host order
};

class LocalSockets {
public:
    using AddressSource = std::function<std::vector<platform::LocalAddress>()>;
    using Pause = std::function<void(std::chrono::milliseconds)>;

    LocalSockets();  // the system's addresses, a real 50 ms pause
    LocalSockets(AddressSource addresses, Pause pause);
    ~LocalSockets();  // closes what is still open
    LocalSockets(const LocalSockets&) = delete;
    LocalSockets& operator=(const LocalSockets&) = delete;

    // Opens a socket for every local address that has no live one; drops
    // dead entries and closes and drops the sockets of addresses the
    // computer no longer has. An empty address list (the look-up failed)
    // changes nothing. Takes m_csSockets itself.
    void RefreshLocalSockets();
    // Sends the packet on every live socket: multicast, 50 ms, broadcast.
    // Takes m_csSockets itself for the whole loop.
    SendReport SendToAllSockets(const DevicePacket& packet);
    // Closes every live socket; the entries stay, dead.
    void CloseLocalSockets();
    // Marks the entry of `s` dead after a failed receive: closes the handle
    // and sets it invalid; the next refresh removes the entry and opens a new
    // socket for its address. Caller holds m_csSockets.
    void MarkDead(platform::SocketHandle s);

    // The receive loop reads the list under this lock (socket list before
    // reply queue).
    std::mutex& Lock() { return m_csSockets; }
    // Caller holds m_csSockets.
    const std::list<LocalSocket>& Entries() const { return m_sockets; }

private:
    // Caller holds m_csSockets. Removes dead entries in passing.
    bool FindLocalSocket(std::uint32_t address);
    // Caller holds m_csSockets. Closes and removes live entries bound to
    // none of `addresses`.
    void DropGoneAddresses(const std::vector<platform::LocalAddress>& addresses);

    AddressSource m_addresses;
    Pause m_pause;
    std::list<LocalSocket> m_sockets;
    std::mutex m_csSockets;
};

}  // namespace vimbrel::protocol
