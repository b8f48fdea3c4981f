#pragma once
// Helpers of the lab tests: waiting for the simulators' logs and searching
// the private network with the core's own sockets and receive thread.
#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "protocol/device_packet.h"
#include "protocol/local_sockets.h"
#include "protocol/reply_queue.h"
#include "protocol/reply_receiver.h"
#include "tests/support/wait.h"
#include "tools/lab/lab_network.h"

namespace vimbrel::lab {

// The camera's log once it holds at least `count` datagrams (or whatever it
// holds when the time is up).
inline std::vector<LoggedDatagram> WaitForDatagrams(const LabNetwork& lab, int camera,
                                                    std::size_t count) {
    test::WaitUntil([&] { return lab.CameraLog(camera).size() >= count; },
                    std::chrono::milliseconds(3000));
    return lab.CameraLog(camera);
}

// The core's search machinery, run in the computer's namespace by the test
// thread (which must have entered it first).
class SearchProbe {
public:
    SearchProbe() : m_receiver(m_sockets, m_replies, [this] { ++m_notifies; }) {
        RequirePrivateNetwork();
        m_sockets.RefreshLocalSockets(m_sockets.TakeSendTurn());
        m_receiver.Start();
    }

    // Sends one search and collects the replies once `expected` have
    // arrived, or what has after 5 s.
    std::vector<protocol::ReplyBuffer> Search(std::size_t expected) {
        m_replies.Clear();
        m_sockets.RefreshLocalSockets(m_sockets.TakeSendTurn());
        const protocol::SendReport sent = m_sockets.SendToAllSockets(
            m_sockets.TakeSendTurn(), protocol::MakeSearchRequest(std::time(nullptr)));
        EXPECT_GT(sent.sent, 0u) << sent.error.text;
        test::WaitUntil([&] { return m_replies.Size() >= expected; });
        std::vector<protocol::ReplyBuffer> replies;
        for (const auto& reply : m_replies.TakeAll()) replies.push_back(*reply);
        return replies;
    }

    int Notifies() const { return m_notifies.load(); }

private:
    protocol::LocalSockets m_sockets;
    protocol::ReplyQueue m_replies;
    std::atomic<int> m_notifies{0};
    protocol::ReplyReceiver m_receiver;  // last: stops before the rest goes
};

}  // namespace vimbrel::lab
