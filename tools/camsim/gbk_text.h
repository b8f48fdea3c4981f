#pragma once
// UTF-8 text from the command line to the GBK bytes that travel on the wire.
#include <string>

namespace camsim {

// GBK bytes of `utf8`; what GBK lacks (or what isn't valid UTF-8) becomes '?'.
std::string Utf8ToGbk(const std::string& utf8);

}  // namespace camsim
