#pragma once
// Why a socket call failed, in the system's own number and words.
#include <string>

namespace vimbrel::platform {

struct SocketError {
    int code = 0;  // errno, or WSAGetLastError() on Windows; 0 = no error
    std::string text;  // the system's words for it (strerror / FormatMessage), UTF-8
    explicit operator bool() const { return code != 0; }
};

// Of the calling thread's last socket call (udp_socket.h): each call that
// can fail sets it, to no error when the call succeeded. Other calls in
// between leave it as it is.
SocketError LastSocketError();

}  // namespace vimbrel::platform
