#include "session/address_plan_run.h"

#include "platform/ipv4_text.h"
#include "protocol/command_sender.h"

namespace vimbrel {

namespace {

// The sweep's progress told as the matches' progress.
class ByMatch final : public PlanProgress {
public:
    ByMatch(PlanProgress& progress, const std::vector<std::size_t>& matchOf,
            std::vector<TargetOutcome>& outcomes)
        : m_progress(progress), m_matchOf(matchOf), m_outcomes(outcomes) {}
    void Done(std::size_t send, const TargetOutcome& outcome) override {
        TargetOutcome& line = m_outcomes[m_matchOf[send]];
        line.outcome = outcome.outcome;
        line.error = outcome.error;
        m_progress.Done(m_matchOf[send], line);
    }
    bool Cancelled() override { return m_progress.Cancelled(); }

private:
    PlanProgress& m_progress;
    const std::vector<std::size_t>& m_matchOf;
    std::vector<TargetOutcome>& m_outcomes;
};

}  // namespace

std::vector<TargetOutcome> RunAddressPlan(DeviceSession& session,
                                          const std::vector<PlanMatch>& matches,
                                          const std::vector<TableRow>& rows,
                                          platform::ArpProbe& probe, PlanProgress& progress,
                                          bool dryRun) {
    std::vector<TargetOutcome> outcomes(matches.size());
    std::vector<PlanTarget> targets;
    targets.reserve(matches.size());
    for (std::size_t i = 0; i < matches.size(); ++i) {
        outcomes[i].address = matches[i].entry->newIp;
        targets.push_back({matches[i].entry->newIp, rows[matches[i].row].device.ip});
    }
    std::vector<std::wstring> listed;
    listed.reserve(rows.size());
    for (const TableRow& row : rows) listed.push_back(row.device.ip);

    const DeviceSession::SendTurn turn = session.TakeSendTurn();
    const std::vector<bool> taken = NewAddressesTaken(targets, listed, probe);
    std::vector<DeviceSession::NetworkSend> sends;
    std::vector<std::size_t> matchOf;  // the match of each send
    for (std::size_t i = 0; i < matches.size(); ++i) {
        if (taken[i]) {
            outcomes[i].outcome = Outcome::kAddressTaken;
            progress.Done(i, outcomes[i]);
            continue;
        }
        if (dryRun) {
            outcomes[i].outcome = Outcome::kPlanned;
            progress.Done(i, outcomes[i]);
            continue;
        }
        const PlanEntry& entry = *matches[i].entry;
        protocol::NetConfig block = protocol::MakeNetConfig(entry.mask, entry.gateway);
        protocol::SetNetConfigAddress(block, platform::FormatIPv4(entry.newIp).c_str());
        sends.push_back({block, matches[i].mac});
        matchOf.push_back(i);
    }
    if (sends.empty()) return outcomes;
    ByMatch byMatch(progress, matchOf, outcomes);
    static_cast<void>(session.RunSetNetwork(turn, sends, byMatch));
    return outcomes;
}

}  // namespace vimbrel
