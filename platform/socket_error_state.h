#pragma once
#ifndef VIMBREL_PLATFORM_INTERNAL
#error "private to the platform library: include its interface headers in platform/"
#endif
// The calling thread's last socket error (LastSocketError), kept in one place
// for the OS files of the socket calls.
#include <string>

namespace vimbrel::platform {

// The system's words for an error code; one per OS.
std::string SystemErrorText(int code);

// A socket call failed with `code`, or succeeded (no error).
void SocketCallFailed(int code);
void SocketCallSucceeded();

}  // namespace vimbrel::platform
