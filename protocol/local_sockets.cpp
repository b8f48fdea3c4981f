// The list of local sockets: refresh, fan-out send, close.
#include "protocol/local_sockets.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

#include "platform/ipv4_text.h"

namespace vimbrel::protocol {

LocalSockets::LocalSockets()
    : LocalSockets(platform::SocketAddresses,
                   [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }) {}

LocalSockets::LocalSockets(AddressSource addresses, Pause pause)
    : m_addresses(std::move(addresses)), m_pause(std::move(pause)) {}

LocalSockets::~LocalSockets() { CloseLocalSockets(); }

void LocalSockets::CheckTurn(const SendTurn& turn) const {
    if (turn.m_owner != this) {
        std::fputs("vimbrel: a send with another socket list's send turn\n", stderr);
        std::abort();
    }
    turn.m_holder.Check("a send with another thread's send turn");
}

void LocalSockets::RefreshLocalSockets(const SendTurn& turn) {
    CheckTurn(turn);
    const std::vector<platform::LocalAddress> addresses =
        m_addresses ? m_addresses() : std::vector<platform::LocalAddress>{};
    const std::lock_guard lock(m_csSockets);
    bool added = false;
    m_openError = {};
    const auto openFailed = [this] {
        if (!m_openError) m_openError = platform::LastSocketError();
    };
    if (!addresses.empty()) DropGoneAddresses(addresses);
    for (const platform::LocalAddress& local : addresses) {
        if (FindLocalSocket(local.address)) continue;
        const platform::SocketHandle s = platform::OpenUdpSocket();
        if (s == platform::kInvalidSocket) {
            openFailed();
            continue;
        }
        if (!platform::EnableBroadcast(s) || !platform::BindSocket(s, local.address, 0)) {
            openFailed();
            platform::CloseSocket(s);
            continue;
        }
        // A smaller buffer than asked for still works; the receive thread
        // drains it as fast as it can.
        platform::SetReceiveBuffer(s, kReceiveBufferBytes);
        // Where the system can't count its drops, the queue's count is all.
        platform::EnableDropCount(s);
        m_sockets.push_back(LocalSocket{s, local.address});
        added = true;
    }
    if (added) m_wake.Wake();
}

bool LocalSockets::FindLocalSocket(std::uint32_t address) {
    for (auto entry = m_sockets.begin(); entry != m_sockets.end();) {
        if (entry->socket == platform::kInvalidSocket) {
            entry = m_sockets.erase(entry);  // its handle was closed when it died
            continue;
        }
        if (platform::SocketLocalAddress(entry->socket) == address) return true;
        ++entry;
    }
    return false;
}

void LocalSockets::DropGoneAddresses(const std::vector<platform::LocalAddress>& addresses) {
    for (auto entry = m_sockets.begin(); entry != m_sockets.end();) {
        const bool present =
            std::any_of(addresses.begin(), addresses.end(),
                        [&](const auto& local) { return local.address == entry->address; });
        if (entry->socket == platform::kInvalidSocket || present) {
            ++entry;
            continue;
        }
        platform::CloseSocket(entry->socket);
        entry = m_sockets.erase(entry);
    }
}

SendReport LocalSockets::SendToAllSockets(const SendTurn& turn, const DevicePacket& packet) {
    SendReport report = SendToEach(turn, packet, platform::ParseIPv4(DEVICE_GROUP).value());
    if (report.sockets == 0) return report;
    if (m_pause) m_pause(kPauseBetweenSends);
    SendReport broadcast = SendToEach(turn, packet, platform::ParseIPv4(DEVICE_BROADCAST).value());
    report.sent += broadcast.sent;
    if (!report.error) report.error = std::move(broadcast.error);
    return report;
}

SendReport LocalSockets::SendToEach(const SendTurn& turn, const DevicePacket& packet,
                                    std::uint32_t to) {
    CheckTurn(turn);
    SendReport report;
    // Every step of the walk holds the lock; it is let go between two sends
    // so that the receive thread reads meanwhile. The entry under the walk
    // stays in the list: only a refresh removes entries, and it needs the
    // turn this walk holds; the receive thread only marks entries dead.
    std::unique_lock lock(m_csSockets);
    for (const LocalSocket& entry : m_sockets) {
        if (entry.socket == platform::kInvalidSocket) continue;
        ++report.sockets;
        if (platform::SendDatagram(entry.socket, packet.data(), packet.size(), to, DEVICE_PORT))
            ++report.sent;
        else if (!report.error)
            report.error = platform::LastSocketError();
        lock.unlock();
        lock.lock();
    }
    if (report.sockets == 0) report.error = m_openError;
    return report;
}

std::vector<std::uint32_t> LocalSockets::LiveAddresses() {
    const std::lock_guard lock(m_csSockets);
    std::vector<std::uint32_t> addresses;
    for (const LocalSocket& entry : m_sockets)
        if (entry.socket != platform::kInvalidSocket) addresses.push_back(entry.address);
    return addresses;
}

void LocalSockets::CloseLocalSockets() {
    const std::lock_guard lock(m_csSockets);
    for (LocalSocket& entry : m_sockets) {
        if (entry.socket == platform::kInvalidSocket) continue;
        platform::CloseSocket(entry.socket);
        entry.socket = platform::kInvalidSocket;
    }
}

void LocalSockets::Guard::MarkDead(platform::SocketHandle s) {
    if (s == platform::kInvalidSocket) return;
    for (LocalSocket& entry : m_owner.m_sockets) {
        if (entry.socket != s) continue;
        platform::CloseSocket(entry.socket);
        entry.socket = platform::kInvalidSocket;
        return;
    }
}

std::uint32_t LocalSockets::Guard::NewDrops(platform::SocketHandle s, std::uint32_t count) {
    for (LocalSocket& entry : m_owner.m_sockets) {
        if (entry.socket != s) continue;
        // The count wraps; one that an older datagram carried is behind.
        const auto fresh = static_cast<std::int32_t>(count - entry.dropCount);
        if (fresh <= 0) return 0;
        entry.dropCount = count;
        return static_cast<std::uint32_t>(fresh);
    }
    return 0;
}

}  // namespace vimbrel::protocol
