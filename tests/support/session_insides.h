#pragma once
// The tests' way to a device session's sockets and reply queue, which the
// session keeps to itself: its one friend, defined here with the tests and
// benchmarks only, so that no product code can reach them.
#include "protocol/local_sockets.h"
#include "protocol/reply_queue.h"
#include "session/device_session.h"

namespace vimbrel::test {

struct SessionInsides {
    static protocol::LocalSockets& Sockets(DeviceSession& session) { return session.m_sockets; }
    static protocol::ReplyQueue& Replies(DeviceSession& session) { return session.m_replies; }
};

}  // namespace vimbrel::test
