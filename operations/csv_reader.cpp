#include "operations/csv_reader.h"

namespace vimbrel {

CsvText ReadCsv(std::string_view text) {
    CsvText result;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    // Moves past a line end at `i` (CRLF, LF or CR) and counts it.
    auto skipLineEnd = [&] {
        if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        ++i;
        ++line;
    };
    while (i < n) {
        CsvRecord record;
        record.line = line;
        for (;;) {  // one field
            std::string field;
            if (i < n && text[i] == '"') {
                const std::size_t opened = line;
                ++i;
                for (;;) {
                    if (i >= n) {
                        result.faultLine = opened;
                        result.fault = CsvFault::kQuoteNotClosed;
                        return result;
                    }
                    if (text[i] == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\r' || text[i] == '\n') {
                        const std::size_t start = i;
                        skipLineEnd();
                        field.append(text.substr(start, i - start));
                        continue;
                    }
                    field += text[i++];
                }
                if (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                    result.faultLine = line;
                    result.fault = CsvFault::kTextAfterQuote;
                    return result;
                }
            } else {
                while (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n')
                    field += text[i++];
            }
            record.fields.push_back(std::move(field));
            if (i < n && text[i] == ',') {
                ++i;
                continue;
            }
            if (i < n) skipLineEnd();
            break;
        }
        result.records.push_back(std::move(record));
    }
    return result;
}

}  // namespace vimbrel
