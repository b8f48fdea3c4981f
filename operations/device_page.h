#pragma once
// The address of a device's web page, built from texts that came from the
// network: only a dotted-quad IPv4 address and a decimal port 1..65535 make
// one.
#include <optional>
#include <string>

namespace vimbrel {

// "http://" + address + ":" + port, or nothing when either text is not what
// it should be.
std::optional<std::wstring> DevicePageAddress(const std::wstring& address,
                                              const std::wstring& port);

}  // namespace vimbrel
