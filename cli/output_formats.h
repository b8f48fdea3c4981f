#pragma once
// The three ways the search prints the cameras it found.
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "cli/camera_search.h"

namespace vimbrel::cli {

enum class OutputFormat { Table, Json, Csv };

std::optional<OutputFormat> ParseOutputFormat(std::string_view name);

// Aligned columns under the window's column titles, lined up by display
// width; control characters from the network shown as U+FFFD.
void WriteTable(std::ostream& out, const std::vector<TableRow>& cameras);
// An array of objects with the keys serial, model, ip, mac, port (a number),
// firmware, status and local_address (left out when not known).
void WriteJson(std::ostream& out, const std::vector<TableRow>& cameras);
// The window's export (operations/device_csv.h): RFC 4180 under a header of
// the JSON keys, CRLF line ends, UTF-8 with a byte order mark.
void WriteCsv(std::ostream& out, const std::vector<TableRow>& cameras);

void WriteCameras(std::ostream& out, OutputFormat format, const std::vector<TableRow>& cameras);

}  // namespace vimbrel::cli
