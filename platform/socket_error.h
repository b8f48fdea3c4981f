#pragma once
// Why a socket call failed.
#include <string>

namespace vimbrel::platform {

struct SocketError {
    int code = 0;  // errno, or WSAGetLastError() on Windows; 0 = no error
    std::string text;  // the system's words for it, UTF-8
    explicit operator bool() const { return code != 0; }
};

}  // namespace vimbrel::platform
