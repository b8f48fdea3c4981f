// libFuzzer target over everything that reads a received datagram: the
// reply test, the row texts through the code page, MAC text both ways, the
// 32-byte cell buffer, the model match, the web-page address check and the
// command line's table, JSON and CSV of a row.
// Built with AddressSanitizer, so a read past the given bytes crashes; the
// checks below stop on a broken round trip or a text cut mid-character.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/cell_text.h"
#include "operations/device_page.h"
#include "operations/device_row.h"
#include "operations/model_names.h"
#include "platform/code_page.h"
#include "protocol/device_packet.h"
#include "fuzz/cli_output_checks.h"
#include "fuzz/fuzz_check.h"

namespace {

using namespace vimbrel;
using fuzz::Check;

bool IsValidCodePoint(wchar_t c) {
    const auto v = static_cast<std::uint32_t>(c);
    return v != 0 && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF);
}

// Exactly `size` bytes on the heap, so reading one more is an overread.
std::unique_ptr<char[]> HeapCopy(const std::uint8_t* data, std::size_t size, bool terminate) {
    auto copy = std::make_unique<char[]>(size + (terminate ? 1 : 0));
    if (size > 0) std::memcpy(copy.get(), data, size);
    if (terminate) copy[size] = '\0';
    return copy;
}

// Code-page bytes up to `size` or the first zero: the wide text holds one
// character per complete sequence, and comes back to the same bytes when
// nothing in it was replaced.
void CheckAnsiText(const char* bytes, std::size_t size, const std::wstring& text) {
    const std::size_t length = strnlen(bytes, size);
    Check(text.size() <= length, "more characters than bytes");
    Check(std::all_of(text.begin(), text.end(), IsValidCodePoint), "not a character");
    if (text.find(L'\uFFFD') == std::wstring::npos)
        Check(platform::WideToAnsi(text) == std::string(bytes, length),
              "code-page text does not round-trip");
    else
        Check(length > 0, "replacement without bytes");
}

// A cell either holds the whole text with its terminator, or nothing.
void CheckCellBuffer(const std::wstring& text) {
    const protocol::CellBuffer cell = ToCellBuffer(text);
    const std::string ansi = platform::WideToAnsi(text);
    const bool empty = std::all_of(cell.begin(), cell.end(), [](char c) { return c == 0; });
    const bool fits = text.size() <= 30 && ansi.size() < cell.size();
    if (!fits || ansi.find('\0') != std::string::npos) {
        // Too long, or a zero inside would cut it at the terminator.
        if (!fits) Check(empty, "a text that does not fit went in (cut)");
        return;
    }
    Check(std::memcmp(cell.data(), ansi.data(), ansi.size()) == 0, "cell holds other bytes");
    Check(std::all_of(cell.begin() + static_cast<std::ptrdiff_t>(ansi.size()), cell.end(),
                      [](char c) { return c == 0; }),
          "cell not zero after its text");
    // Read back as the list would: the same text when the code page has
    // every character of it.
    if (ansi.find('?') == std::string::npos)
        Check(platform::AnsiToWide(cell.data(), cell.size()) == text, "cell does not read back");
    // A model name from the list matches only itself.
    if (const char* model = MatchModelName(cell))
        Check(ansi == model, "model matched another text");
}

void CheckModelMatch(const std::uint8_t* data, std::size_t size) {
    protocol::CellBuffer cell{};
    std::memcpy(cell.data(), data, std::min(size, cell.size()));
    const char* model = MatchModelName(cell);
    if (!model) return;
    // Compared by text: equal literals need not share an address across files.
    Check(std::any_of(kModelNames.begin(), kModelNames.end(),
                      [&](const char* name) { return std::strcmp(name, model) == 0; }),
          "match outside the model list");
    Check(std::strcmp(cell.data(), model) == 0, "match is not the whole name");
}

void CheckMacText(const std::uint8_t* data, std::size_t size) {
    // Any text, read up to its terminator only.
    const auto text = HeapCopy(data, size, true);
    const std::optional<protocol::MacBytes> parsed = protocol::ParseMacText(text.get());
    if (!parsed) return;
    // A text that reads is 17 characters; formatting then parsing gives the
    // same six bytes back.
    Check(std::strlen(text.get()) == 17, "MAC text read from other than 17 characters");
    const std::wstring formatted = protocol::MacBytesToText(*parsed);
    Check(formatted.size() == 17, "MAC text is not 17 characters");
    const std::string narrow(formatted.begin(), formatted.end());
    Check(protocol::ParseMacText(narrow) == parsed, "MAC text does not round-trip");
}

void CheckPageAddress(const std::wstring& address, const std::wstring& port) {
    const std::optional<std::wstring> page = DevicePageAddress(address, port);
    if (!page) return;
    Check(*page == L"http://" + address + L":" + port, "page address is not the texts");
    // Only digits, dots and the scheme's own characters reach the launcher.
    const std::wstring rest = page->substr(7);
    Check(std::all_of(rest.begin(), rest.end(),
                      [](wchar_t c) { return (c >= L'0' && c <= L'9') || c == L'.' || c == L':'; }),
          "page address with other characters");
}

void CheckReply(const std::uint8_t* data, std::size_t size) {
    // The test reads only the bytes it is given ...
    const bool isReply = protocol::IsDeviceReply(data, static_cast<long>(size));
    // ... and counts the rest as zero, as the receive buffer holds it.
    auto buffer = std::make_unique<protocol::ReplyBuffer>();
    buffer->fill(0);
    const std::size_t kept = std::min(size, buffer->size());
    if (kept > 0) std::memcpy(buffer->data(), data, kept);
    if (size > 0 && size <= buffer->size())
        Check(protocol::IsDeviceReply(buffer->data(), static_cast<long>(buffer->size())) == isReply,
              "reply test depends on bytes past the datagram");

    // The row texts, as the window and the command line read them (every
    // datagram, not only the accepted ones: the reader must be safe on any
    // buffer).
    const DeviceRow row = MakeDeviceRow(protocol::DeviceReply(*buffer));
    const auto field = [&](std::size_t offset, const std::wstring& text) {
        const char* bytes = reinterpret_cast<const char*>(buffer->data()) + offset;
        CheckAnsiText(bytes, buffer->size() - offset, text);
        CheckCellBuffer(text);
    };
    field(protocol::reply_offset::ip_text, row.ip);
    field(protocol::reply_offset::firmware_version, row.firmware);
    field(protocol::reply_offset::model_name, row.model);
    field(protocol::reply_offset::serial_no, row.serial);
    field(protocol::reply_offset::run_status, row.status);

    const std::string narrowMac(row.mac.begin(), row.mac.end());
    Check(protocol::ParseMacText(narrowMac) == protocol::DeviceReply(*buffer).Mac(),
          "reply MAC does not round-trip");

    CheckPageAddress(row.ip, row.port);
    // The command line prints accepted replies only.
    if (isReply) fuzz::CheckCliOutput(row);
}

// The input as a wide text, `unit` bytes (2 or 4, little-endian) a
// character: two for the checks that start from a list cell, four to reach
// past U+FFFF and past the last code point.
std::wstring WideView(const std::uint8_t* data, std::size_t size, std::size_t unit) {
    std::wstring text;
    for (std::size_t i = 0; i + unit <= size; i += unit) {
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < unit; ++k) value |= std::uint32_t{data[i + k]} << (8 * k);
        text.push_back(static_cast<wchar_t>(value));
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckReply(data, size);

    const auto bytes = HeapCopy(data, size, false);
    CheckAnsiText(bytes.get(), size, platform::AnsiToWide(bytes.get(), size));

    CheckMacText(data, size);
    CheckModelMatch(data, size);

    const std::wstring wide = WideView(data, size, 2);
    CheckCellBuffer(wide);
    fuzz::CheckUtf8(wide);
    fuzz::CheckUtf8(WideView(data, size, 4));
    const std::size_t colon = wide.find(L':');
    CheckPageAddress(wide.substr(0, colon),
                     colon == std::wstring::npos ? std::wstring() : wide.substr(colon + 1));
    return 0;
}
