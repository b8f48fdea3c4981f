#include "tools/camsim/site_losses.h"

#include <algorithm>

namespace vimbrel::camsim {

SiteLosses::SiteLosses(const LossOptions& options)
    : m_options(options), m_random(options.seed != 0 ? options.seed : std::random_device{}()) {}

bool SiteLosses::Happens(double probability) {
    if (probability <= 0) return false;
    return std::bernoulli_distribution(probability)(m_random);
}

std::chrono::milliseconds SiteLosses::ReplyDelay() {
    if (m_options.replyDelayMs <= 0) return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(
        std::uniform_int_distribution<int>(0, m_options.replyDelayMs)(m_random));
}

int DelayedReplies::MsUntilNext(std::chrono::steady_clock::time_point now) const {
    if (m_replies.empty()) return -1;
    const auto next =
        std::min_element(m_replies.begin(), m_replies.end(), [](const Reply& a, const Reply& b) {
            return a.due < b.due;
        })->due;
    if (next <= now) return 0;
    // Rounded up, so that the wait does not end just before it is due.
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(next - now).count());
}

std::vector<DelayedReplies::Reply> DelayedReplies::TakeDue(
    std::chrono::steady_clock::time_point now) {
    std::vector<Reply> due;
    std::erase_if(m_replies, [&](const Reply& reply) {
        if (reply.due > now) return false;
        due.push_back(reply);
        return true;
    });
    std::sort(due.begin(), due.end(), [](const Reply& a, const Reply& b) { return a.due < b.due; });
    return due;
}

}  // namespace vimbrel::camsim
