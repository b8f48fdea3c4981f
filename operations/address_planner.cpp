#include "operations/address_planner.h"

#include <chrono>
#include <unordered_map>

namespace vimbrel {

namespace {

constexpr std::chrono::milliseconds kWaitStep{50};

enum class Candidate { kNotAsked, kUnderWay, kTaken, kFree };

// The candidates in counter order, what is known of each, and the devices
// served so far.
class Plan {
public:
    Plan(const std::vector<std::uint32_t>& candidates, std::size_t deviceCount)
        : m_candidates(candidates),
          m_states(candidates.size(), Candidate::kNotAsked),
          m_deviceCount(deviceCount) {}

    // Starts probes while fewer than the batch's bound are under way and, even if
    // every one under way and every free one not yet given out were handed
    // out, some device would still be left.
    void StartProbes(platform::ArpProbeBatch& batch) {
        while (m_next < m_candidates.size() && m_underWay < batch.WaveBound() &&
               m_assigned + m_freeAhead + m_underWay < m_deviceCount) {
            m_index.emplace(m_candidates[m_next], m_next);
            m_states[m_next] = Candidate::kUnderWay;
            ++m_underWay;
            batch.Start(m_candidates[m_next++]);
        }
    }

    void Settle(const std::vector<platform::ArpVerdict>& verdicts) {
        for (const platform::ArpVerdict& verdict : verdicts) {
            const auto found = m_index.find(verdict.address);
            if (found == m_index.end() || m_states[found->second] != Candidate::kUnderWay) continue;
            m_states[found->second] = verdict.answered ? Candidate::kTaken : Candidate::kFree;
            --m_underWay;
            if (!verdict.answered) ++m_freeAhead;
        }
        while (m_cursor < m_next && m_states[m_cursor] == Candidate::kTaken) ++m_cursor;
    }

    bool Finished() const { return m_assigned == m_deviceCount || m_cursor == m_candidates.size(); }
    // The candidate at the cursor when it has settled free: the next device's.
    bool NextIsFree() const { return m_cursor < m_next && m_states[m_cursor] == Candidate::kFree; }
    std::uint32_t NextCandidate() const { return m_candidates[m_cursor]; }
    std::size_t Assigned() const { return m_assigned; }
    void HandOut() {
        ++m_assigned;
        --m_freeAhead;
        ++m_cursor;
        Settle({});  // past any taken ones that follow
    }

private:
    const std::vector<std::uint32_t>& m_candidates;
    std::vector<Candidate> m_states;
    std::unordered_map<std::uint32_t, std::size_t> m_index;  // started address -> position
    const std::size_t m_deviceCount;
    std::size_t m_next = 0;  // the first candidate not yet started
    std::size_t m_cursor = 0;  // the first candidate neither given out nor taken
    std::size_t m_underWay = 0;
    std::size_t m_freeAhead = 0;  // settled free, not yet given out
    std::size_t m_assigned = 0;
};

}  // namespace

AssignmentProgress AssignAddresses(const std::vector<std::uint32_t>& candidates,
                                   std::size_t deviceCount, platform::ArpProbe& probe,
                                   const std::function<void(std::size_t, std::uint32_t)>& assign,
                                   const std::function<bool()>& keepGoing) {
    Plan plan(candidates, deviceCount);
    if (plan.Finished()) return {0, false};
    const auto batch = probe.OpenBatch();
    bool handedOut = false;
    for (;;) {
        // Right after a device was served, only take what has come in (the
        // free ones of a wave settle together); otherwise wait a short step.
        plan.Settle(batch->Wait(handedOut ? std::chrono::milliseconds(0) : kWaitStep));
        plan.StartProbes(*batch);
        handedOut = false;
        if (plan.Finished()) return {plan.Assigned(), false};
        if (!keepGoing()) return {plan.Assigned(), true};
        if (plan.NextIsFree()) {
            assign(plan.Assigned(), plan.NextCandidate());
            plan.HandOut();
            handedOut = true;
        }
    }
}

}  // namespace vimbrel
