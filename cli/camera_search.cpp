#include "cli/camera_search.h"

#include <algorithm>
#include <ctime>
#include <string>
#include <thread>
#include <unordered_set>

#include "platform/local_addresses.h"
#include "protocol/command_sender.h"

namespace vimbrel::cli {

namespace {

constexpr std::chrono::milliseconds kCollectInterval{10};

// The addresses that get a socket, or only `only` (any address the computer
// has, loopback too) when one is named.
protocol::LocalSockets::AddressSource Addresses(std::optional<std::uint32_t> only) {
    if (!only) return platform::SocketAddresses;
    return [only] {
        std::vector<platform::LocalAddress> addresses = platform::LocalIPv4Addresses();
        std::erase_if(addresses,
                      [&](const platform::LocalAddress& local) { return local.address != *only; });
        return addresses;
    };
}

void Pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

}  // namespace

// The sockets of one local address and what receives on them.
struct CameraSearch::Link {
    explicit Link(std::uint32_t address)
        : address(address), sockets(Addresses(address), Pause), receiver(sockets, replies, [] {}) {}

    std::uint32_t address;
    protocol::LocalSockets sockets;
    protocol::ReplyQueue replies;
    protocol::ReplyReceiver receiver;  // last: stops before the rest goes
};

CameraSearch::CameraSearch(std::optional<std::uint32_t> onlyAddress)
    : m_commandSockets(Addresses(onlyAddress), Pause) {
    for (const platform::LocalAddress& local : Addresses(onlyAddress)()) {
        const bool known = std::any_of(m_links.begin(), m_links.end(), [&](const auto& link) {
            return link->address == local.address;
        });
        if (known) continue;
        m_links.push_back(std::make_unique<Link>(local.address));
        m_links.back()->receiver.Start();
    }
}

CameraSearch::~CameraSearch() {
    // Each receive thread ends within about one wait; together, not in turn.
    std::vector<std::thread> stops;
    for (auto& link : m_links) stops.emplace_back([&link] { link->receiver.Stop(); });
    for (std::thread& stop : stops) stop.join();
}

// The window's fan-out over the links' lists together.
void CameraSearch::SendSearchOnEveryLink() {
    std::vector<protocol::LocalSockets*> lists;
    for (auto& link : m_links) {
        link->sockets.RefreshLocalSockets();
        lists.push_back(&link->sockets);
    }
    protocol::SendToAllSockets(lists, protocol::MakeSearchRequest(std::time(nullptr)), Pause);
}

std::vector<FoundCamera> CameraSearch::Search(std::chrono::milliseconds wait) {
    for (auto& link : m_links) {
        link->replies.Clear();  // answers to an earlier search tell nothing now
        link->replies.Reopen();  // and a new count of dropped ones
    }
    SendSearchOnEveryLink();

    // Taken off the queues while they come, so that the first reply of a
    // device answering on two links is the one kept.
    std::vector<FoundCamera> found;
    std::unordered_set<std::wstring> listed;
    const auto end = std::chrono::steady_clock::now() + wait;
    for (;;) {
        for (auto& link : m_links) {
            for (const auto& buffer : link->replies.TakeAll()) {
                DeviceRow row = MakeDeviceRow(protocol::DeviceReply(*buffer));
                if (listed.insert(row.mac).second) found.push_back({std::move(row), link->address});
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) break;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kCollectInterval, end - now));
    }
    m_dropped = 0;
    for (auto& link : m_links) m_dropped += link->replies.Dropped();
    return found;
}

}  // namespace vimbrel::cli
