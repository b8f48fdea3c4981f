#pragma once
// The device list as CSV, the one form the window's export and the command
// line's `search --format csv` share. No toolkit.
//
// RFC 4180: a header line of kDeviceCsvKeys, CRLF line ends, a field quoted
// when it holds a comma, a quote, CR or LF, quotes doubled. Starts with the
// UTF-8 byte order mark so that spreadsheets read the Chinese texts right.
#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "operations/device_columns.h"

namespace vimbrel {

// A device's fields: the columns' but the row number's, then the local
// address the reply came in on.
inline constexpr std::size_t kDeviceFieldCount = column::kCount - column::kSerial + 1;

// The keys of a device's fields, in order: the CSV header and the JSON keys.
inline constexpr std::array<const char*, kDeviceFieldCount> kDeviceCsvKeys = [] {
    std::array<const char*, kDeviceFieldCount> keys{};
    for (std::size_t c = column::kSerial; c < column::kCount; ++c)
        keys[c - column::kSerial] = kDeviceColumns[c].key;
    keys.back() = "local_address";
    return keys;
}();

// One device's fields in the order of kDeviceCsvKeys, as UTF-8; an unknown
// local address is empty.
using DeviceFields = std::array<std::string, kDeviceCsvKeys.size()>;

// The field as it stands in a CSV line: quoted when it must be.
std::string CsvField(std::string_view text);

void WriteDeviceCsv(std::ostream& out, const std::vector<DeviceFields>& devices);

}  // namespace vimbrel
