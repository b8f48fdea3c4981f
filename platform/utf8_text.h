#pragma once
// UTF-8 text (command lines, terminals, files, address texts) and wide text
// (UTF-16 on Windows, UTF-32 elsewhere). Every build gives the same results
// for the same input.
#include <string>
#include <string_view>

namespace vimbrel::platform {

// Each byte that starts no valid sequence (an invalid byte, a sequence cut
// off, overlong or encoding a surrogate or a value past U+10FFFF) gives one
// U+FFFD, and reading goes on after that byte.
std::wstring FromUtf8(std::string_view utf8);

// A code unit that is no character (a lone surrogate, a value past
// U+10FFFF) becomes U+FFFD.
std::string ToUtf8(const std::wstring& text);

}  // namespace vimbrel::platform
