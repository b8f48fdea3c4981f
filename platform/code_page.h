#pragma once
// Conversion between wide text and the cameras' code page, GBK (code page
// 936) on every system: the cameras' texts are GBK whatever the language of
// the computer. Every build gives the same results for the same input.
#include <cstddef>
#include <string>

namespace vimbrel::platform {

// Converts bytes up to the first zero byte or `size`, whichever comes first;
// never reads beyond `size`. Invalid or cut-off sequences give U+FFFD.
std::wstring AnsiToWide(const char* bytes, std::size_t size);

// The code-page bytes of `text`, without a terminator. Characters the code
// page lacks become '?', as WideCharToMultiByte does without flags.
std::string WideToAnsi(const std::wstring& text);

}  // namespace vimbrel::platform
