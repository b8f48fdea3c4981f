#include "session/device_table.h"

namespace vimbrel {

namespace {

std::uint64_t MacKey(const protocol::MacBytes& mac) {
    std::uint64_t key = 0;
    for (const std::uint8_t byte : mac) key = key << 8 | byte;
    return key;
}

}  // namespace

DeviceTable::Added DeviceTable::Add(const protocol::QueuedReply& queued) {
    const protocol::DeviceReply reply(queued);
    const std::uint64_t key = MacKey(reply.Mac());
    if (m_macs.count(key)) return Added::kListed;
    if (Full()) return Added::kFull;
    m_macs.insert(key);
    m_rows.push_back({MakeDeviceRow(reply), queued.localAddress});
    return Added::kRow;
}

void DeviceTable::Clear() {
    m_rows.clear();
    m_macs.clear();
}

}  // namespace vimbrel
