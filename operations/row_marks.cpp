#include "operations/row_marks.h"

#include <optional>
#include <unordered_map>

#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"

namespace vimbrel {

namespace {

std::wstring AddressText(std::uint32_t address) {
    return platform::FromUtf8(platform::FormatIPv4(address));
}

}  // namespace

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

std::wstring RowInfoText(const MarkedRow& row, const RowMarks& marks) {
    const std::wstring via = row.localAddress ? L"经 " + AddressText(row.localAddress) + L" 收到"
                                              : L"收到它的本机地址不详";
    std::wstring text;
    if (marks.sameIpOthers > 0)
        text = L"IP地址与另外 " + std::to_wstring(marks.sameIpOthers) + L" 台设备相同";
    if (marks.otherSubnet) {
        if (!text.empty()) text += L"；";
        return text + L"不在本机网段（" + via +
               L"），网页无法直接打开；可用“自动分配IP”改到本机网段";
    }
    return text.empty() ? via : text + L"（" + via + L"）";
}

std::wstring MarkCountsText(const MarkCounts& counts, const std::wstring& separator) {
    std::wstring text;
    if (counts.sameIp > 0) text = L"IP重复 " + std::to_wstring(counts.sameIp) + L" 台";
    if (counts.otherSubnet > 0)
        text += (text.empty() ? L"" : separator) + std::wstring(L"不在本机网段 ") +
                std::to_wstring(counts.otherSubnet) + L" 台";
    return text;
}

std::wstring NothingFoundText(const std::vector<std::uint32_t>& localAddresses) {
    std::wstring list;
    for (std::uint32_t address : localAddresses)
        list += (list.empty() ? L"" : L"、") + AddressText(address);
    return list.empty() ? L"没有可用的本机地址，搜索未发出。"
                        : L"搜索经 " + list + L" 发出，没有设备应答。";
}

}  // namespace vimbrel
