#pragma once
// A site that loses datagrams, as busy switches and Wi-Fi bridges do: each
// camera misses a search request with one probability and loses its reply
// with another, and answers after a random delay. Seeded, so that a run can
// be played again.
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include <netinet/in.h>

#include "protocol/device_packet.h"

namespace vimbrel::camsim {

struct LossOptions {
    double requestLoss = 0;  // 0 to 1
    double replyLoss = 0;  // 0 to 1
    int replyDelayMs = 0;  // each reply after 0 to this many ms
    std::uint32_t seed = 0;  // 0: seeded by the system
};

class SiteLosses {
public:
    explicit SiteLosses(const LossOptions& options);

    bool MissesRequest() { return Happens(m_options.requestLoss); }
    bool LosesReply() { return Happens(m_options.replyLoss); }
    std::chrono::milliseconds ReplyDelay();

private:
    bool Happens(double probability);

    LossOptions m_options;
    std::mt19937 m_random;
};

// Replies waiting for their time.
class DelayedReplies {
public:
    struct Reply {
        std::chrono::steady_clock::time_point due;
        protocol::ReplyBuffer bytes;
        sockaddr_in to;
        int ifindex;
    };

    void Add(Reply reply) { m_replies.push_back(reply); }
    // Milliseconds until the next is due (0 when one is), -1 when none waits.
    int MsUntilNext(std::chrono::steady_clock::time_point now) const;
    // Takes the replies that are due, earliest first.
    std::vector<Reply> TakeDue(std::chrono::steady_clock::time_point now);

private:
    std::vector<Reply> m_replies;
};

}  // namespace vimbrel::camsim
