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
#include "platform/owner_thread.h"
#include "platform/socket_error.h"
#include "platform/udp_socket.h"
#include "protocol/device_packet.h"

namespace vimbrel::protocol {

// What one fan-out send did: the live sockets it used and the datagrams that
// went out. No socket means no local address (or none could be opened);
// sockets but no datagram means every send failed. `error` is the first
// failure: of a send, or, with no socket, of the refresh that opened none.
struct [[nodiscard]] SendReport {
    std::size_t sockets = 0;
    std::size_t sent = 0;
    platform::SocketError error;
};

struct LocalSocket {
    platform::SocketHandle socket = platform::kInvalidSocket;  // invalid = dead
    std::uint32_t address = 0;  // host order
    // The system's running count of datagrams it dropped on the socket, as
    // the last datagram that told it (platform::EnableDropCount).
    std::uint32_t dropCount = 0;
};

// Between a packet's multicast and its broadcast on the same socket.
inline constexpr std::chrono::milliseconds kPauseBetweenSends{50};

// Receive buffer asked for on every socket: room for a few thousand replies
// arriving at once (Linux counts about 1.3 KB for each), the burst of the
// largest site. Linux grants it only up to net.core.rmem_max without
// CAP_NET_ADMIN; the datagrams it still drops are counted
// (platform::EnableDropCount).
inline constexpr std::size_t kReceiveBufferBytes = std::size_t{4} * 1024 * 1024;

// The list changes (entries added or removed) only in a refresh. A refresh
// and every send need the SendTurn, which one thread at a time holds (the
// window's search sender, or a batch's worker once the search has gone
// out); the receive thread reads the list and marks entries dead. Every
// read of the list holds m_csSockets: the receive thread's through a Guard,
// the sender's inside the calls below.
class LocalSockets {
public:
    using AddressSource = std::function<std::vector<platform::LocalAddress>()>;
    using Pause = std::function<void(std::chrono::milliseconds)>;

    // m_csSockets held for as long as it lives; the only way to the entries.
    class Guard {
    public:
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

        const std::list<LocalSocket>& Entries() const { return m_owner.m_sockets; }
        // Marks the entry of `s` dead after a failed receive: closes the
        // handle and sets it invalid; the next refresh removes the entry and
        // opens a new socket for its address.
        void MarkDead(platform::SocketHandle s);
        // Takes the system's running count of drops on `s`, as a datagram
        // or a read told it; returns how many are new since the last (none
        // for a count behind it).
        std::uint32_t NewDrops(platform::SocketHandle s, std::uint32_t count);
        // What the receive thread's wait watches besides the sockets.
        platform::WaitWake& Wake() { return m_owner.m_wake; }

    private:
        friend class LocalSockets;
        explicit Guard(LocalSockets& owner) : m_owner(owner), m_lock(owner.m_csSockets) {}

        LocalSockets& m_owner;
        std::lock_guard<std::mutex> m_lock;
    };

    // The right to refresh the list and send on it, held by one thread at a
    // time for as long as it lives. Only TakeSendTurn makes one, so no
    // refresh or send can happen without it; each checks that the turn is
    // this list's and that its holder is the caller.
    class SendTurn {
    public:
        SendTurn(const SendTurn&) = delete;
        SendTurn& operator=(const SendTurn&) = delete;

    private:
        friend class LocalSockets;
        explicit SendTurn(LocalSockets& owner) : m_owner(&owner), m_lock(owner.m_sendLane) {}
        const LocalSockets* m_owner;
        std::unique_lock<std::mutex> m_lock;
        platform::OwnerThread m_holder;
    };

    LocalSockets();  // SocketAddresses, a real 50 ms pause
    LocalSockets(AddressSource addresses, Pause pause);
    ~LocalSockets();  // closes what is still open
    LocalSockets(const LocalSockets&) = delete;
    LocalSockets& operator=(const LocalSockets&) = delete;

    // Opens a socket for every local address that has no live one; drops
    // dead entries and closes and drops the sockets of addresses the
    // computer no longer has. An empty address list (the look-up failed)
    // changes nothing. Takes m_csSockets itself. New sockets wake the
    // receive thread, so that it waits on them at once. A socket that could
    // not be opened is left out; the first such failure of the last refresh
    // goes into the reports of sends that find no socket.
    void RefreshLocalSockets(const SendTurn& turn);
    // Sends the packet on every live socket: the multicast on each, one
    // pause of 50 ms, then the broadcast on each, so every link sees its two
    // 50 ms apart and the whole costs one pause however many sockets there
    // are. Takes m_csSockets for each send only, so replies are read during
    // the pause; an entry marked dead meanwhile gets no further send.
    SendReport SendToAllSockets(const SendTurn& turn, const DevicePacket& packet);
    // One half of that: the packet to `to` on every live socket, the lock
    // held for each step of the walk and let go between two sends.
    SendReport SendToEach(const SendTurn& turn, const DevicePacket& packet, std::uint32_t to);
    // Closes every live socket; the entries stay, dead.
    void CloseLocalSockets();

    // Blocks until no other thread holds the turn.
    [[nodiscard]] SendTurn TakeSendTurn() { return SendTurn(*this); }
    // Socket list before reply queue, when both are held.
    [[nodiscard]] Guard Lock() { return Guard(*this); }
    // The addresses of the live sockets, in the list's order.
    std::vector<std::uint32_t> LiveAddresses();
    // Ends the receive thread's wait at once (any thread): it is stopping.
    void WakeReceiver() { m_wake.Wake(); }

private:
    // Aborts unless `turn` is this list's and the caller holds it.
    void CheckTurn(const SendTurn& turn) const;
    // Caller holds m_csSockets. Removes dead entries in passing.
    bool FindLocalSocket(std::uint32_t address);
    // Caller holds m_csSockets. Closes and removes live entries bound to
    // none of `addresses`.
    void DropGoneAddresses(const std::vector<platform::LocalAddress>& addresses);

    AddressSource m_addresses;
    Pause m_pause;
    std::list<LocalSocket> m_sockets;
    std::mutex m_csSockets;
    platform::SocketError m_openError;  // under m_csSockets
    platform::WaitWake m_wake;
    std::mutex m_sendLane;  // held by the SendTurn
};

}  // namespace vimbrel::protocol
