#pragma once
// UTF-8 for the terminal and for files: the wide texts of the device rows
// written out, and the display width of a text in terminal cells.
#include <cstddef>
#include <string>
#include <string_view>

namespace vimbrel::cli {

// UTF-16 (Windows) or UTF-32 wide text to UTF-8; a code unit that is no
// character (a lone surrogate, a value past U+10FFFF) becomes U+FFFD.
std::string ToUtf8(const std::wstring& text);
// UTF-8 to wide text; bytes that are not UTF-8 become U+FFFD.
std::wstring FromUtf8(std::string_view text);

// Terminal cells the text takes: two for East Asian wide and full-width
// characters, none for combining marks, one for the rest. Bytes that are
// not UTF-8 count one each.
std::size_t DisplayWidth(std::string_view utf8);

// The text with every control character (C0, DEL, C1) and every byte that
// is not UTF-8 replaced by U+FFFD, so that texts from the network cannot
// move the cursor or change colours.
std::string WithoutControls(std::string_view utf8);

// Whether the bytes are UTF-8 throughout.
bool IsUtf8(std::string_view text);

// A text to be echoed in a message: WithoutControls, cut after
// `maxCharacters` characters with "…" in place of the rest.
std::string EchoText(std::string_view text, std::size_t maxCharacters = 64);

}  // namespace vimbrel::cli
