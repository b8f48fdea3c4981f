// The list of local sockets: refresh, fan-out send, close.
#include "protocol/local_sockets.h"

#include <algorithm>
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

void LocalSockets::RefreshLocalSockets() {
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

SendReport LocalSockets::SendToAllSockets(const DevicePacket& packet) {
    return protocol::SendToAllSockets({this}, packet, m_pause);
}

SendReport SendToAllSockets(const std::vector<LocalSockets*>& lists, const DevicePacket& packet,
                            const LocalSockets::Pause& pause) {
    const auto sendToEach = [&](const char* to) {
        SendReport report;
        for (LocalSockets* list : lists) {
            SendReport one = list->SendToEach(packet, platform::ParseIPv4(to).value());
            report.sockets += one.sockets;
            report.sent += one.sent;
            if (!report.error) report.error = std::move(one.error);
        }
        return report;
    };
    SendReport report = sendToEach(DEVICE_GROUP);
    if (report.sockets == 0) return report;
    if (pause) pause(kPauseBetweenSends);
    SendReport broadcast = sendToEach(DEVICE_BROADCAST);
    report.sent += broadcast.sent;
    if (!report.error) report.error = std::move(broadcast.error);
    return report;
}

SendReport LocalSockets::SendToEach(const DevicePacket& packet, std::uint32_t to) {
    SendReport report;
    // The entries stay where they are: only one thread at a time refreshes
    // and sends, and the receive thread only marks entries dead.
    for (const LocalSocket& entry : m_sockets) {
        const std::lock_guard lock(m_csSockets);
        if (entry.socket == platform::kInvalidSocket) continue;
        ++report.sockets;
        if (platform::SendDatagram(entry.socket, packet.data(), packet.size(), to, DEVICE_PORT))
            ++report.sent;
        else if (!report.error)
            report.error = platform::LastSocketError();
    }
    if (report.sockets == 0) {
        const std::lock_guard lock(m_csSockets);
        report.error = m_openError;
    }
    return report;
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
