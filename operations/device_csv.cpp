#include "operations/device_csv.h"

namespace vimbrel {

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void WriteDeviceCsv(std::ostream& out, const std::vector<DeviceFields>& devices) {
    out << "\xEF\xBB\xBF";
    for (std::size_t k = 0; k < kDeviceCsvKeys.size(); ++k)
        out << (k ? "," : "") << kDeviceCsvKeys[k];
    out << "\r\n";
    for (const DeviceFields& fields : devices) {
        for (std::size_t k = 0; k < fields.size(); ++k)
            out << (k ? "," : "") << CsvField(fields[k]);
        out << "\r\n";
    }
}

}  // namespace vimbrel
