#pragma once
// UTF-8 text on the terminal: the display width of a text in terminal
// cells, and network texts made safe to print. The conversion to and from
// wide text is the platform's (platform/utf8_text.h).
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/utf8_text.h"

namespace vimbrel::cli {

using platform::FromUtf8;
using platform::ToUtf8;

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
