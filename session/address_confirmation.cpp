#include "session/address_confirmation.h"

#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"

namespace vimbrel {

namespace {

bool Shows(const TableRow& row, const MovedDevice& device) {
    const auto mac = protocol::ParseMacText(platform::ToUtf8(row.device.mac));
    if (!mac || *mac != device.mac) return false;
    const auto address = platform::ParseIPv4(platform::ToUtf8(row.device.ip));
    return address && *address == device.address;
}

}  // namespace

ConfirmationState::ConfirmationState(std::vector<MovedDevice> moved, Clock::time_point now,
                                     std::chrono::milliseconds confirmTime)
    : m_waiting(std::move(moved)), m_end(now + confirmTime), m_nextSearch(now) {}

std::vector<MovedDevice> ConfirmationState::Answered(const std::vector<TableRow>& rows) {
    std::vector<MovedDevice> answered;
    std::erase_if(m_waiting, [&](const MovedDevice& device) {
        for (const TableRow& row : rows) {
            if (!Shows(row, device)) continue;
            answered.push_back(device);
            return true;
        }
        return false;
    });
    return answered;
}

bool ConfirmationState::SearchDue(Clock::time_point now) {
    if (now < m_nextSearch) return false;
    m_nextSearch = now + kConfirmSearchEvery;
    return true;
}

}  // namespace vimbrel
