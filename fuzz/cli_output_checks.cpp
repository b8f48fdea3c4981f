#include "fuzz/cli_output_checks.h"

#include <array>
#include <cstdint>
#include <sstream>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/camera_search.h"
#include "cli/output_formats.h"
#include "cli/utf8_text.h"
#include "fuzz/fuzz_check.h"

namespace vimbrel::fuzz {

namespace {

// Strict UTF-8: shortest forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // Length of the sequence and the least character it may carry.
        std::size_t length = 1;
        char32_t min = 0;
        if (lead >= 0x80) {
            if (lead >= 0xC2 && lead <= 0xDF) {
                length = 2;
                min = 0x80;
            } else if (lead >= 0xE0 && lead <= 0xEF) {
                length = 3;
                min = 0x800;
            } else if (lead >= 0xF0 && lead <= 0xF4) {
                length = 4;
                min = 0x10000;
            } else {
                return false;
            }
        }
        if (i + length > text.size()) return false;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// RFC 4180 records: quoted fields with doubled quotes, CRLF line ends.
std::vector<std::vector<std::string>> ReadCsv(std::string_view text) {
    std::vector<std::vector<std::string>> records(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().push_back(field);
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            records.back().push_back(field);
            field.clear();
            records.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    Check(!quoted && field.empty() && records.back().empty(), "CSV does not end with a record");
    records.pop_back();
    return records;
}

}  // namespace

void CheckUtf8(const std::wstring& text) {
    const std::string utf8 = platform::ToUtf8(text);
    Check(IsUtf8(utf8), "UTF-8 output is not UTF-8");
    std::wstring expected = text;
    for (wchar_t& c : expected) {
        const auto v = static_cast<std::uint32_t>(c);
        if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) c = L'\uFFFD';
    }
    Check(platform::FromUtf8(utf8) == expected, "UTF-8 does not read back");
}

void CheckCliOutput(const DeviceRow& row) {
    const std::vector<TableRow> cameras = {{row, 0}};
    const std::array<std::string, 7> texts = {
        platform::ToUtf8(row.serial), platform::ToUtf8(row.model), platform::ToUtf8(row.ip),
        platform::ToUtf8(row.mac),    platform::ToUtf8(row.port),  platform::ToUtf8(row.firmware),
        platform::ToUtf8(row.status)};

    std::ostringstream table;
    cli::WriteTable(table, cameras);
    const std::string tableText = table.str();
    Check(IsUtf8(tableText), "table is not UTF-8");
    std::size_t lines = 0;
    for (std::size_t i = 0; i < tableText.size(); ++i) {
        const auto c = static_cast<unsigned char>(tableText[i]);
        if (c == '\n') {
            ++lines;
            continue;
        }
        Check(c >= 0x20 && c != 0x7F, "control character in the table");
        // C1 controls are U+0080..U+009F: C2 80..C2 9F.
        Check(!(c == 0xC2 && i + 1 < tableText.size() &&
                static_cast<unsigned char>(tableText[i + 1]) <= 0x9F),
              "C1 control in the table");
    }
    Check(lines == 2, "table is not a title line and one row");

    std::ostringstream json;
    cli::WriteJson(json, cameras);
    const nlohmann::json read = nlohmann::json::parse(json.str());
    Check(read.is_array() && read.size() == 1, "JSON is not one camera");
    const nlohmann::json& camera = read[0];
    Check(camera.at("serial") == texts[0] && camera.at("model") == texts[1] &&
              camera.at("ip") == texts[2] && camera.at("mac") == texts[3] &&
              camera.at("firmware") == texts[5] && camera.at("status") == texts[6],
          "JSON texts are not the row's");
    Check(camera.at("port") == row.portNumber, "JSON port is not the row's");
    Check(!camera.contains("local_address"), "JSON local address out of nothing");

    std::ostringstream csv;
    cli::WriteCsv(csv, cameras);
    const std::string csvText = csv.str();
    Check(csvText.rfind("\xEF\xBB\xBF", 0) == 0, "CSV without its byte order mark");
    const auto records = ReadCsv(std::string_view(csvText).substr(3));
    Check(records.size() == 2 && records[1].size() == 8, "CSV is not a header and one record");
    for (std::size_t k = 0; k < texts.size(); ++k)
        Check(records[1][k] == texts[k], "CSV field is not the row's");
    Check(records[1][7].empty(), "CSV local address out of nothing");
}

}  // namespace vimbrel::fuzz
