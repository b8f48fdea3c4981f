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
    return text.size() > 64 ? shown + "…" : shown;
}

// A line's fault, thrown while the line is read.
struct LineError {
    PlanError error;
};

PlanError Fault(std::size_t line, PlanFault fault, std::string text = {}) {
    PlanError error;
    error.line = line;
    error.fault = fault;
    error.text = std::move(text);
    return error;
}

[[noreturn]] void Refuse(PlanFault fault, std::string text = {}) {
    throw LineError{Fault(0, fault, std::move(text))};  // the line is set where it is caught
}

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

std::uint32_t AddressOf(const std::string& text, PlanField field) {
    const auto address = platform::ParseIPv4(text);
    if (!address) {
        PlanError error;
        error.fault = PlanFault::kMalformedAddress;
        error.field = field;
        error.text = Shown(text);
        throw LineError{std::move(error)};
    }
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
        if (!mac) Refuse(PlanFault::kMalformedMac, Shown(entry.identityText));
        entry.mac = mac->Bytes();
    } else {
        if (entry.identityText.empty()) Refuse(PlanFault::kEmptySerial);
        entry.serial = platform::FromUtf8(entry.identityText);
        if (platform::ToUtf8(entry.serial) != entry.identityText)
            Refuse(PlanFault::kSerialNotUtf8, Shown(entry.identityText));
        if (!protocol::CheckSerialIdentity(entry.serial))
            Refuse(PlanFault::kSerialTooLong, Shown(entry.identityText));
    }

    const std::string ip = FieldAt(record, columns.newIp);
    std::string mask = FieldAt(record, columns.mask), gateway = FieldAt(record, columns.gateway);
    entry.newIp = AddressOf(ip, PlanField::kNewIp);
    if (mask.empty() && defaults.mask) mask = platform::FormatIPv4(*defaults.mask);
    if (gateway.empty() && defaults.gateway) gateway = platform::FormatIPv4(*defaults.gateway);
    if (mask.empty()) Refuse(PlanFault::kNoMask);
    if (gateway.empty()) Refuse(PlanFault::kNoGateway);
    entry.mask = AddressOf(mask, PlanField::kMask);
    entry.gateway = AddressOf(gateway, PlanField::kGateway);
    const AssignmentInputFault rule = CheckAssignmentInput(entry.newIp, entry.mask, entry.gateway);
    if (rule != AssignmentInputFault::kNone) {
        PlanError error;
        error.fault = PlanFault::kAddressRule;
        error.rule = rule;
        error.text = ip;  // all three read as addresses: nothing to hide
        error.mask = mask;
        error.gateway = gateway;
        throw LineError{std::move(error)};
    }
    if (entry.newIp == entry.gateway) Refuse(PlanFault::kNewIpIsGateway, ip);
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
        plan.errors.push_back(Fault(0, PlanFault::kEmptyFile));
        return plan;
    }
    Columns columns;
    if (!csv.records.empty()) {
        const std::vector<std::string>& header = csv.records.front().fields;
        const auto mac = Find(header, "mac"), serial = Find(header, "serial"),
                   newIp = Find(header, "new_ip"), mask = Find(header, "mask"),
                   gateway = Find(header, "gateway");
        const std::size_t line = csv.records.front().line;
        if (!mac && !serial) plan.errors.push_back(Fault(line, PlanFault::kNoIdentityColumn));
        if (!newIp) plan.errors.push_back(Fault(line, PlanFault::kNoNewIpColumn));
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
                PlanError same;
                same.otherLine = earlier.line;
                if (SameIdentity(earlier, entry)) {
                    same.fault = PlanFault::kSameIdentity;
                    same.text = Shown(entry.identityText);
                    throw LineError{std::move(same)};
                }
                if (earlier.newIp == entry.newIp) {
                    same.fault = PlanFault::kSameNewIp;
                    same.text = platform::FormatIPv4(entry.newIp);
                    throw LineError{std::move(same)};
                }
            }
            plan.entries.push_back(std::move(entry));
        } catch (LineError& e) {
            e.error.line = record.line;
            e.error.byMac = columns.byMac;
            plan.errors.push_back(std::move(e.error));
        }
    }
    if (csv.faultLine)
        plan.errors.push_back(Fault(*csv.faultLine, csv.fault == CsvFault::kQuoteNotClosed
                                                        ? PlanFault::kCsvQuoteNotClosed
                                                        : PlanFault::kCsvTextAfterQuote));
    if (plan.entries.empty() && plan.errors.empty())
        plan.errors.push_back(Fault(0, PlanFault::kNoEntry));
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
