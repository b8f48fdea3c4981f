#include "operations/row_marks.h"

#include <optional>
#include <unordered_map>

#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"

namespace vimbrel {

std::vector<RowMarks> MarkRows(const std::vector<MarkedRow>& rows) {
    std::vector<std::optional<std::uint32_t>> addresses;
    addresses.reserve(rows.size());
    std::unordered_map<std::uint32_t, int> holders;
    for (const MarkedRow& row : rows) {
        addresses.push_back(platform::ParseIPv4(platform::ToUtf8(row.ip)));
        if (addresses.back()) ++holders[*addresses.back()];
    }
    std::vector<RowMarks> marks(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& address = addresses[i];
        if (!address) continue;
        marks[i].sameIpOthers = holders[*address] - 1;
        const MarkedRow& row = rows[i];
        marks[i].otherSubnet = row.localAddress != 0 && row.localMask != 0 &&
                               (*address & row.localMask) != (row.localAddress & row.localMask);
    }
    return marks;
}

MarkCounts CountMarks(const std::vector<RowMarks>& marks) {
    MarkCounts counts;
    for (const RowMarks& m : marks) {
        if (m.sameIpOthers > 0) ++counts.sameIp;
        if (m.otherSubnet) ++counts.otherSubnet;
    }
    return counts;
}

}  // namespace vimbrel
