#include "platform/socket_error.h"

#include "platform/socket_error_state.h"

namespace vimbrel::platform {

namespace {
thread_local SocketError t_lastError;
}

void SocketCallFailed(int code) {
    t_lastError.code = code;
    t_lastError.text = SystemErrorText(code);
}

void SocketCallSucceeded() {
    t_lastError.code = 0;
    t_lastError.text.clear();
}

SocketError LastSocketError() { return t_lastError; }

}  // namespace vimbrel::platform
