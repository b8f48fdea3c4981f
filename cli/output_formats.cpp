#include "cli/output_formats.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/utf8_text.h"
#include "operations/device_columns.h"
#include "operations/device_csv.h"
#include "operations/device_row.h"
#include "platform/ipv4_text.h"

namespace vimbrel::cli {

namespace {

constexpr const auto& kKeys = kDeviceCsvKeys;

// A camera's fields in the order of kKeys, as UTF-8: the columns but the row
// number, then the local address.
DeviceFields Fields(const TableRow& camera) {
    const RowTexts texts = TextsInColumnOrder(camera.device, 0);  // no row number here
    DeviceFields fields;
    for (std::size_t c = column::kSerial; c < texts.size(); ++c)
        fields[c - column::kSerial] = ToUtf8(texts[c]);
    if (camera.localAddress) fields.back() = platform::FormatIPv4(camera.localAddress);
    return fields;
}

// A number column's text as its number; nothing when the text is not a
// whole number (then it is written as text).
std::optional<long long> WholeNumber(const std::string& text) {
    long long number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, number);
    if (fault != std::errc() || stop != end) return std::nullopt;
    return number;
}

}  // namespace

std::optional<OutputFormat> ParseOutputFormat(std::string_view name) {
    if (name == "table") return OutputFormat::Table;
    if (name == "json") return OutputFormat::Json;
    if (name == "csv") return OutputFormat::Csv;
    return std::nullopt;
}

void WriteTable(std::ostream& out, const std::vector<TableRow>& cameras) {
    using Line = std::array<std::string, column::kCount>;  // the window's columns
    std::vector<Line> lines(1);
    for (std::size_t c = 0; c < kDeviceColumns.size(); ++c)
        lines[0][c] = ToUtf8(kDeviceColumns[c].title);
    for (std::size_t i = 0; i < cameras.size(); ++i) {
        const RowTexts texts = TextsInColumnOrder(cameras[i].device, i + 1);
        Line line;
        for (std::size_t c = 0; c < line.size(); ++c) line[c] = WithoutControls(ToUtf8(texts[c]));
        lines.push_back(line);
    }
    std::array<std::size_t, column::kCount> widths{};
    for (const auto& line : lines)
        for (std::size_t c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], DisplayWidth(line[c]));
    for (const auto& line : lines) {
        std::string text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            text += line[c];
            if (c + 1 < line.size())
                text += std::string(widths[c] - DisplayWidth(line[c]) + 2, ' ');
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out << text << '\n';
    }
}

void WriteJson(std::ostream& out, const std::vector<TableRow>& cameras) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const TableRow& camera : cameras) {
        const RowTexts texts = TextsInColumnOrder(camera.device, 0);  // no row number here
        nlohmann::ordered_json object;
        for (std::size_t c = 0; c < kDeviceColumns.size(); ++c) {
            const ColumnLayout& layout = kDeviceColumns[c];
            if (!layout.key) continue;
            const std::string text = ToUtf8(texts[c]);
            const std::optional<long long> number =
                layout.type == ColumnType::kNumber ? WholeNumber(text) : std::nullopt;
            if (number)
                object[layout.key] = *number;
            else
                object[layout.key] = text;
        }
        if (camera.localAddress) object[kKeys.back()] = platform::FormatIPv4(camera.localAddress);
        array.push_back(std::move(object));
    }
    out << array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void WriteCsv(std::ostream& out, const std::vector<TableRow>& cameras) {
    std::vector<DeviceFields> devices;
    devices.reserve(cameras.size());
    for (const TableRow& camera : cameras) devices.push_back(Fields(camera));
    WriteDeviceCsv(out, devices);
}

void WriteCameras(std::ostream& out, OutputFormat format, const std::vector<TableRow>& cameras) {
    switch (format) {
    case OutputFormat::Table: WriteTable(out, cameras); break;
    case OutputFormat::Json: WriteJson(out, cameras); break;
    case OutputFormat::Csv: WriteCsv(out, cameras); break;
    }
}

}  // namespace vimbrel::cli
