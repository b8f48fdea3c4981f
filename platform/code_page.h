#pragma once
// Conversion between wide text and the cameras' code page, GBK (code page
// 936) on every system: the cameras' texts are GBK whatever the language of
// the computer. Every build gives the same results for the same input.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vimbrel::platform {

// Converts bytes up to the first zero byte or `size`, whichever comes first;
// never reads beyond `size`. Invalid or cut-off sequences give U+FFFD.
std::wstring AnsiToWide(const char* bytes, std::size_t size);

// The code-page bytes of `text`, without a terminator. Characters the code
// page lacks become '?', as WideCharToMultiByte does without flags.
std::string WideToAnsi(const std::wstring& text);

// UTF-8 text (command lines, terminals) and wide text. Invalid UTF-8
// sequences give U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(const std::wstring& text);

}  // namespace vimbrel::platform
