#include "session/address_confirmation.h"

#include <map>
#include <optional>

#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"

namespace vimbrel {

ConfirmationState::ConfirmationState(std::vector<MovedDevice> moved, Clock::time_point now,
                                     std::chrono::milliseconds confirmTime)
    : m_waiting(std::move(moved)), m_end(now + confirmTime), m_nextSearch(now) {}

std::vector<MovedDevice> ConfirmationState::Answered(const std::vector<TableRow>& rows) {
    if (m_waiting.empty()) return {};
    // Each row's address by its MAC's bytes: one row per MAC in the table.
    std::map<protocol::MacBytes, std::optional<std::uint32_t>> addressOf;
    for (const TableRow& row : rows)
        if (const auto mac = protocol::ParseMacText(platform::ToUtf8(row.device.mac)))
            addressOf.emplace(*mac, platform::ParseIPv4(platform::ToUtf8(row.device.ip)));
    std::vector<MovedDevice> answered;
    std::erase_if(m_waiting, [&](const MovedDevice& device) {
        const auto row = addressOf.find(device.mac);
        if (row == addressOf.end() || row->second != device.address) return false;
        answered.push_back(device);
        return true;
    });
    return answered;
}

bool ConfirmationState::SearchDue(Clock::time_point now) {
    if (now < m_nextSearch) return false;
    m_nextSearch = now + kConfirmSearchEvery;
    return true;
}

}  // namespace vimbrel
