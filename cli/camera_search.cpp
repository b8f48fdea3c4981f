#include "cli/camera_search.h"

#include <algorithm>
#include <thread>

#include "platform/local_addresses.h"
#include "protocol/command_sender.h"

namespace vimbrel::cli {

namespace {

protocol::LocalSockets::AddressSource Addresses(std::optional<std::uint32_t> onlyAddress) {
    return [onlyAddress] {
        std::vector<platform::LocalAddress> addresses = platform::LocalIPv4Addresses();
        if (onlyAddress)
            std::erase_if(addresses, [&](const platform::LocalAddress& local) {
                return local.address != *onlyAddress;
            });
        return addresses;
    };
}

void Pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

}  // namespace

CameraSearch::CameraSearch(std::optional<std::uint32_t> onlyAddress)
    : m_sockets(Addresses(onlyAddress), Pause), m_receiver(m_sockets, m_replies, [] {}) {
    m_receiver.Start();
}

std::vector<FoundCamera> CameraSearch::Search(std::chrono::milliseconds wait) {
    m_replies.Clear();  // answers to an earlier search tell nothing about now
    protocol::SendSearch(m_sockets);
    std::this_thread::sleep_for(wait);

    std::vector<FoundCamera> found;
    const std::optional<std::uint32_t> localAddress;  // TODO(cli): the queue's record of the socket
    while (const auto buffer = m_replies.TakeFront()) {
        DeviceRow row = MakeDeviceRow(protocol::DeviceReply(*buffer));
        const bool listed = std::any_of(found.begin(), found.end(), [&](const FoundCamera& camera) {
            return camera.row.mac == row.mac;
        });
        if (!listed) found.push_back({std::move(row), localAddress});
    }
    return found;
}

}  // namespace vimbrel::cli
