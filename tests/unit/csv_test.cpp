// The CSV the window and the command line write, and the reader of the
// files spreadsheets make from it.
#include <gtest/gtest.h>

#include <sstream>

#include "operations/csv_reader.h"
#include "operations/device_csv.h"

namespace vimbrel {
namespace {

using Fields = std::vector<std::string>;

TEST(DeviceCsv, HeaderBomQuotingAndCrlf) {
    std::ostringstream out;
    WriteDeviceCsv(out, {{"SN-A", "ZR420", "192.168.2.21", "00:1A:2B:3C:4D:01", "80", "V1.0.0",
                          "运行中", "192.168.2.100"},
                         {"Cam,\"7\"", "a\r\nb", "", "", "", "", "", ""}});
    EXPECT_EQ(out.str(),
              "\xEF\xBB\xBF"
              "serial,model,ip,mac,port,firmware,status,local_address\r\n"
              "SN-A,ZR420,192.168.2.21,00:1A:2B:3C:4D:01,80,V1.0.0,运行中,192.168.2.100\r\n"
              "\"Cam,\"\"7\"\"\",\"a\r\nb\",,,,,,\r\n");
}

TEST(CsvReader, ReadsBackWhatTheWriterWrites) {
    const DeviceFields odd = {"Cam,\"7\"", "a\r\nb", "x\"y", " lead", "", "\n", ",", "end"};
    std::ostringstream out;
    WriteDeviceCsv(out, {odd, odd});
    const CsvText read = ReadCsv(out.str());
    ASSERT_FALSE(read.faultLine) << *read.faultLine;
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(read.records[0].fields[0], "serial");  // the mark is not part of the first key
    EXPECT_EQ(read.records[1].fields, Fields(odd.begin(), odd.end()));
    EXPECT_EQ(read.records[2].fields, Fields(odd.begin(), odd.end()));
    // Line numbers count the line breaks inside quoted fields.
    EXPECT_EQ(read.records[0].line, 1u);
    EXPECT_EQ(read.records[1].line, 2u);
    EXPECT_EQ(read.records[2].line, 5u);  // two breaks in the record before
}

TEST(CsvReader, LineEndsEmptyFieldsAndALastLineWithoutEnd) {
    const CsvText read = ReadCsv("a,b\nc,\r\r\n,,\rlast");
    ASSERT_FALSE(read.faultLine);
    ASSERT_EQ(read.records.size(), 5u);
    EXPECT_EQ(read.records[0].fields, (Fields{"a", "b"}));
    EXPECT_EQ(read.records[1].fields, (Fields{"c", ""}));
    EXPECT_EQ(read.records[2].fields, (Fields{""}));  // a blank line
    EXPECT_EQ(read.records[3].fields, (Fields{"", "", ""}));
    EXPECT_EQ(read.records[4].fields, (Fields{"last"}));
    EXPECT_EQ(read.records[4].line, 5u);
    EXPECT_TRUE(ReadCsv("").records.empty());
    EXPECT_TRUE(ReadCsv("\xEF\xBB\xBF").records.empty());
    EXPECT_EQ(ReadCsv("a,b,").records[0].fields, (Fields{"a", "b", ""}));
    EXPECT_EQ(ReadCsv("5\"x,y").records[0].fields, (Fields{"5\"x", "y"}));
}

TEST(CsvReader, SaysWhereAQuotedFieldGoesWrong) {
    const CsvText open = ReadCsv("a,b\r\nc,\"never\r\nclosed");
    EXPECT_EQ(open.faultLine, std::optional<std::size_t>(2));
    EXPECT_EQ(open.fault, CsvFault::kQuoteNotClosed);
    EXPECT_EQ(open.records.size(), 1u);
    const CsvText after = ReadCsv("a\n\"x\"y,z\n");
    EXPECT_EQ(after.faultLine, std::optional<std::size_t>(2));
    EXPECT_EQ(after.fault, CsvFault::kTextAfterQuote);
}

}  // namespace
}  // namespace vimbrel
