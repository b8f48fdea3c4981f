#pragma once
// Reads CSV text as spreadsheets write it: RFC 4180 with what they add. No
// toolkit.
//
// A leading UTF-8 byte order mark is skipped; lines end in CRLF, LF or a
// lone CR; a field in double quotes may hold commas, line breaks and doubled
// quotes; a last line without its line end counts. A quote inside an
// unquoted field is kept as it is.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vimbrel {

struct CsvRecord {
    std::size_t line = 0;  // the line of the text it starts on, from 1
    std::vector<std::string> fields;
};

enum class CsvFault {
    kNone,
    kQuoteNotClosed,  // a quoted field never ends
    kTextAfterQuote,  // text after a closing quote
};

struct CsvText {
    std::vector<CsvRecord> records;
    // Set when the text cannot be read, with why. `records` then holds the
    // records before.
    std::optional<std::size_t> faultLine;
    CsvFault fault = CsvFault::kNone;
};

CsvText ReadCsv(std::string_view text);

}  // namespace vimbrel
