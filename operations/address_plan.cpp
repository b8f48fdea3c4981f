#include "operations/address_plan.h"

#include <algorithm>
#include <unordered_map>
#include <cctype>
#include <chrono>
#include <map>

#include "operations/address_rules.h"
#include "operations/csv_reader.h"
#include "protocol/device_identity.h"
#include "platform/code_page.h"
#include "platform/ipv4_text.h"
#include "platform/utf8_text.h"

namespace vimbrel {

namespace {

std::string Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return std::string(text);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Text from the file inside a message: control characters as '?', cut
// after 64 bytes.
std::string Shown(std::string_view text) {
    std::string shown;
    for (char c : text.substr(0, 64))
        shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    return "'" + shown + (text.size() > 64 ? "…'" : "'");
}

std::wstring Wide(const std::string& utf8) { return platform::FromUtf8(utf8); }

// The window's words for a fault of the address rules.
std::wstring FaultWords(AssignmentInputFault fault, const std::string& ip, const std::string& mask,
                        const std::string& gateway) {
    const std::wstring notUnicast =
        L" 不能用：不能是 0.x.x.x、127.x.x.x、组播地址（224-239）或保留地址（240-255）";
    switch (fault) {
    case AssignmentInputFault::kNone: break;
    case AssignmentInputFault::kMaskNotContiguous:
        return L"子网掩码 " + Wide(mask) + L" 无效：必须是连续的掩码";
    case AssignmentInputFault::kMaskLeavesNoHost:
        return L"子网掩码 " + Wide(mask) + L" 无效：除网关外没有可分配给设备的地址";
    case AssignmentInputFault::kStartNotUnicast: return L"new_ip " + Wide(ip) + notUnicast;
    case AssignmentInputFault::kStartNetworkOrBroadcast:
        return L"new_ip " + Wide(ip) + L" 是其网段的网络地址或广播地址";
    case AssignmentInputFault::kGatewayNotUnicast: return L"网关 " + Wide(gateway) + notUnicast;
    case AssignmentInputFault::kGatewayNetworkOrBroadcast:
        return L"网关 " + Wide(gateway) + L" 是其网段的网络地址或广播地址";
    case AssignmentInputFault::kGatewayOutsideNetwork:
        return L"网关 " + Wide(gateway) + L" 与 " + Wide(ip) + L" 不在同一网段";
    }
    return {};
}

std::string FaultText(AssignmentInputFault fault, const std::string& ip, const std::string& mask,
                      const std::string& gateway) {
    return AssignmentFaultWords(fault, "new_ip", ip, "mask", mask, gateway);
}

class LineError {
public:
    LineError(std::string reason, std::wstring text)
        : reason(std::move(reason)), text(std::move(text)) {}
    std::string reason;
    std::wstring text;
};

// Where each column stands; npos when the header lacks it.
struct Columns {
    std::size_t identity = std::string::npos, newIp = std::string::npos, mask = std::string::npos,
                gateway = std::string::npos;
    bool byMac = true;
};

std::optional<std::size_t> Find(const std::vector<std::string>& header, const char* name) {
    for (std::size_t i = 0; i < header.size(); ++i)
        if (Lower(Trimmed(header[i])) == name) return i;
    return std::nullopt;
}

std::uint32_t AddressOf(const std::string& text, const char* what) {
    const auto address = platform::ParseIPv4(text);
    if (!address)
        throw LineError(std::string("malformed ") + what + " " + Shown(text),
                        Wide(what) + L" " + Wide(Shown(text)) + L" 不是IPv4地址");
    return *address;
}

// A field of the record, trimmed; empty past its end.
std::string FieldAt(const CsvRecord& record, std::size_t column) {
    return column < record.fields.size() ? Trimmed(record.fields[column]) : std::string();
}

PlanEntry ReadEntry(const CsvRecord& record, const Columns& columns, const PlanDefaults& defaults) {
    PlanEntry entry;
    entry.line = record.line;
    entry.byMac = columns.byMac;
    entry.identityText = FieldAt(record, columns.identity);
    if (columns.byMac) {
        const auto mac = protocol::CheckMacIdentity(std::string_view(entry.identityText));
        if (!mac)
            throw LineError("malformed MAC address " + Shown(entry.identityText) +
                                " (expected XX:XX:XX:XX:XX:XX)",
                            L"MAC地址 " + Wide(Shown(entry.identityText)) +
                                L" 无法识别（应为 XX:XX:XX:XX:XX:XX）");
        entry.mac = mac->Bytes();
    } else {
        if (entry.identityText.empty()) throw LineError("empty serial number", L"生产系列号为空");
        entry.serial = platform::FromUtf8(entry.identityText);
        if (platform::ToUtf8(entry.serial) != entry.identityText)
            throw LineError("serial number " + Shown(entry.identityText) + " is not valid UTF-8",
                            L"生产系列号不是有效的UTF-8文本");
        if (!protocol::CheckSerialIdentity(entry.serial))
            throw LineError("serial number " + Shown(entry.identityText) +
                                " is longer than a camera's serial field",
                            L"生产系列号 " + Wide(Shown(entry.identityText)) + L" 过长");
    }

    const std::string ip = FieldAt(record, columns.newIp);
    std::string mask = FieldAt(record, columns.mask), gateway = FieldAt(record, columns.gateway);
    entry.newIp = AddressOf(ip, "new_ip");
    if (mask.empty() && defaults.mask) mask = platform::FormatIPv4(*defaults.mask);
    if (gateway.empty() && defaults.gateway) gateway = platform::FormatIPv4(*defaults.gateway);
    if (mask.empty())
        throw LineError("no mask: give a mask column or --mask", L"没有子网掩码（mask 列）");
    if (gateway.empty())
        throw LineError("no gateway: give a gateway column or --gateway",
                        L"没有网关（gateway 列）");
    entry.mask = AddressOf(mask, "mask");
    entry.gateway = AddressOf(gateway, "gateway");
    const AssignmentInputFault fault = CheckAssignmentInput(entry.newIp, entry.mask, entry.gateway);
    if (fault != AssignmentInputFault::kNone)
        throw LineError(FaultText(fault, ip, mask, gateway), FaultWords(fault, ip, mask, gateway));
    if (entry.newIp == entry.gateway)
        throw LineError("new_ip " + ip + " is the gateway", L"new_ip " + Wide(ip) + L" 是网关地址");
    return entry;
}

bool SameIdentity(const PlanEntry& a, const PlanEntry& b) {
    return a.byMac ? a.mac == b.mac : a.serial == b.serial;
}

}  // namespace

AddressPlan ReadAddressPlan(std::string_view csvText, const PlanDefaults& defaults) {
    AddressPlan plan;
    const CsvText csv = ReadCsv(csvText);
    if (csv.records.empty() && !csv.faultLine) {
        plan.errors.push_back({0, "the file is empty", L"文件是空的"});
        return plan;
    }
    Columns columns;
    if (!csv.records.empty()) {
        const std::vector<std::string>& header = csv.records.front().fields;
        const auto mac = Find(header, "mac"), serial = Find(header, "serial"),
                   newIp = Find(header, "new_ip"), mask = Find(header, "mask"),
                   gateway = Find(header, "gateway");
        if (!mac && !serial)
            plan.errors.push_back({csv.records.front().line,
                                   "the header has no mac or serial column",
                                   L"标题行没有 mac 或 serial 列"});
        if (!newIp)
            plan.errors.push_back({csv.records.front().line, "the header has no new_ip column",
                                   L"标题行没有 new_ip 列"});
        if (!plan.errors.empty()) return plan;
        columns.byMac = mac.has_value();
        columns.identity = mac ? *mac : *serial;
        columns.newIp = *newIp;
        if (mask) columns.mask = *mask;
        if (gateway) columns.gateway = *gateway;
    }

    for (std::size_t r = 1; r < csv.records.size(); ++r) {
        const CsvRecord& record = csv.records[r];
        const bool blank = std::all_of(record.fields.begin(), record.fields.end(),
                                       [](const std::string& f) { return Trimmed(f).empty(); });
        if (blank || FieldAt(record, columns.newIp).empty()) continue;
        try {
            PlanEntry entry = ReadEntry(record, columns, defaults);
            for (const PlanEntry& earlier : plan.entries) {
                if (SameIdentity(earlier, entry))
                    throw LineError(std::string(entry.byMac ? "MAC address " : "serial number ") +
                                        Shown(entry.identityText) + " is also on line " +
                                        std::to_string(earlier.line),
                                    std::wstring(entry.byMac ? L"MAC地址 " : L"生产系列号 ") +
                                        Wide(Shown(entry.identityText)) + L" 与第 " +
                                        std::to_wstring(earlier.line) + L" 行重复");
                if (earlier.newIp == entry.newIp)
                    throw LineError("new_ip " + platform::FormatIPv4(entry.newIp) +
                                        " is also on line " + std::to_string(earlier.line),
                                    L"new_ip " + Wide(platform::FormatIPv4(entry.newIp)) +
                                        L" 与第 " + std::to_wstring(earlier.line) + L" 行重复");
            }
            plan.entries.push_back(std::move(entry));
        } catch (const LineError& e) {
            plan.errors.push_back({record.line, e.reason, e.text});
        }
    }
    if (csv.faultLine)
        plan.errors.push_back(
            {*csv.faultLine, csv.fault, L"CSV格式有误（" + Wide(csv.fault) + L"）"});
    if (plan.entries.empty() && plan.errors.empty())
        plan.errors.push_back({0, "no line has a new_ip", L"没有一行填了 new_ip"});
    return plan;
}

std::vector<bool> NewAddressesTaken(const std::vector<PlanTarget>& targets,
                                    const std::vector<std::wstring>& foundIps,
                                    platform::ArpProbe& probe) {
    constexpr std::chrono::seconds kProbeLimit{30};
    std::vector<bool> taken(targets.size(), false), pending(targets.size(), false);
    std::size_t waiting = 0;
    const std::unique_ptr<platform::ArpProbeBatch> batch = probe.OpenBatch();
    // The addresses to probe, started as one wave within the batch's bound,
    // more as verdicts come in.
    std::vector<std::size_t> toStart;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::wstring address = platform::FromUtf8(platform::FormatIPv4(targets[i].newIp));
        if (targets[i].currentIp == address) continue;  // it holds the address already
        taken[i] = std::find(foundIps.begin(), foundIps.end(), address) != foundIps.end();
        toStart.push_back(i);
    }
    std::unordered_map<std::uint32_t, std::vector<std::size_t>> byAddress;  // under way
    std::unordered_map<std::uint32_t, bool> answered;  // settled
    std::size_t started = 0;
    const auto end = std::chrono::steady_clock::now() + kProbeLimit;
    while (started < toStart.size() || waiting > 0) {
        for (; started < toStart.size() && byAddress.size() < batch->WaveBound(); ++started) {
            const std::size_t i = toStart[started];
            const std::uint32_t address = targets[i].newIp;
            if (const auto known = answered.find(address); known != answered.end()) {
                taken[i] = taken[i] || known->second;  // each address is asked once
                continue;
            }
            auto& same = byAddress[address];
            if (same.empty()) batch->Start(address);
            same.push_back(i);
            pending[i] = true;
            ++waiting;
        }
        if (waiting == 0 || std::chrono::steady_clock::now() >= end) break;
        for (const platform::ArpVerdict& verdict : batch->Wait(std::chrono::milliseconds(50))) {
            const auto found = byAddress.find(verdict.address);
            if (found == byAddress.end()) continue;
            for (const std::size_t i : found->second) {
                pending[i] = false;
                taken[i] = taken[i] || verdict.answered;
                --waiting;
            }
            answered[verdict.address] = verdict.answered;
            byAddress.erase(found);
        }
    }
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (pending[i]) taken[i] = true;  // no verdict in time: not known to be free
    return taken;
}

}  // namespace vimbrel
