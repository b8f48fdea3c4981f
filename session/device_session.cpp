#include "session/device_session.h"

#include <ctime>
#include <thread>

#include "operations/address_planner.h"
#include "operations/address_rules.h"
#include "platform/ipv4_text.h"
#include "protocol/command_sender.h"

namespace vimbrel {

namespace {

protocol::LocalSockets::Pause RealPauseUnless(protocol::LocalSockets::Pause pause) {
    if (pause) return pause;
    return [](std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); };
}

TargetOutcome SentOrNot(const protocol::SendReport& report) {
    TargetOutcome outcome;
    outcome.outcome = report.sent > 0 ? Outcome::kSent : Outcome::kNotSent;
    if (report.sent == 0) outcome.error = report.error;
    return outcome;
}

// Runs `send` for each target in order until the progress says stop.
template <typename Identity, typename Send>
std::vector<TargetOutcome> RunEach(const std::vector<CommandTarget<Identity>>& targets,
                                   PlanProgress& progress, const Send& send) {
    std::vector<TargetOutcome> outcomes(targets.size());
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (progress.Cancelled()) break;
        outcomes[i] = SentOrNot(send(targets[i].identity));
        progress.Done(i, outcomes[i]);
    }
    return outcomes;
}

}  // namespace

DeviceSession::DeviceSession(protocol::LocalSockets::AddressSource addresses,
                             protocol::LocalSockets::Pause pause, std::size_t rowBound)
    : m_sockets(std::move(addresses), RealPauseUnless(std::move(pause))), m_table(rowBound) {}

DeviceSession::~DeviceSession() { Stop(); }

void DeviceSession::Start(Notify notify) {
    m_notify = notify ? std::move(notify) : [] {};
    m_receiver.Start();
}

void DeviceSession::Stop() {
    if (m_stopped) return;
    m_stopped = true;
    m_receiver.Stop();
    m_sockets.CloseLocalSockets();
    m_replies.Clear();
    m_taken.clear();
}

void DeviceSession::CheckTurn(const SendTurn& turn) const {
    turn.m_holder.Check("a send with another thread's send turn");
}

void DeviceSession::ClearTable(bool forgetQueued) {
    m_tableThread.Check("DeviceSession::ClearTable");
    m_table.Clear();
    if (forgetQueued) {
        m_replies.Clear();
        m_taken.clear();
    }
    m_replies.Reopen();
}

protocol::SendReport DeviceSession::SendSearch(const SendTurn& turn) {
    CheckTurn(turn);
    m_sockets.RefreshLocalSockets();
    return m_sockets.SendToAllSockets(protocol::MakeSearchRequest(std::time(nullptr)));
}

std::size_t DeviceSession::SendSearchRounds(
    const std::vector<std::chrono::milliseconds>& starts, SearchStop& stop,
    const std::function<void(const protocol::SendReport&)>& sent) {
    const auto begun = std::chrono::steady_clock::now();
    std::size_t rounds = 0;
    for (const std::chrono::milliseconds start : starts) {
        if (!stop.WaitUntil(begun + start)) break;
        const protocol::SendReport report = SendSearch(TakeSendTurn());
        ++rounds;
        if (sent) sent(report);
    }
    return rounds;
}

bool DeviceSession::TakeReplies(std::chrono::steady_clock::time_point until,
                                const std::function<void(const TableRow&)>& added) {
    m_tableThread.Check("DeviceSession::TakeReplies");
    if (m_stopped) return false;
    if (m_taken.empty()) m_taken = m_replies.TakeAll();
    std::size_t dropped = 0;
    for (std::size_t done = 1; !m_taken.empty(); ++done) {
        const DeviceTable::Added result = m_table.Add(*m_taken.front());
        if (result == DeviceTable::Added::kRow && added) added(m_table.Rows().back());
        if (result == DeviceTable::Added::kFull) ++dropped;
        m_taken.pop_front();
        if (done % 32 == 0 && std::chrono::steady_clock::now() >= until) break;
    }
    if (m_table.Full()) m_replies.Close();
    if (dropped > 0) m_replies.CountDropped(dropped);
    // Replies queued meanwhile may have told a reader that has run already.
    if (m_taken.empty()) m_taken = m_replies.TakeAll();
    return !m_taken.empty();
}

std::vector<TargetOutcome> DeviceSession::RunCommand(const CommandPlan& plan,
                                                     PlanProgress& progress) {
    const SendTurn turn = TakeSendTurn();
    return RunEach(plan.targets, progress, [&](const protocol::SerialIdentity& serial) {
        CheckTurn(turn);
        return protocol::SendCommand(m_sockets, plan.command, serial);
    });
}

std::vector<TargetOutcome> DeviceSession::RunSetModel(const MacPlan& plan, const char* modelName,
                                                      PlanProgress& progress) {
    const SendTurn turn = TakeSendTurn();
    return RunEach(plan.targets, progress, [&](const protocol::MacIdentity& mac) {
        CheckTurn(turn);
        return protocol::SendSetModel(m_sockets, mac, modelName);
    });
}

std::vector<TargetOutcome> DeviceSession::RunAssignment(const MacPlan& plan,
                                                        const AssignmentInput& input,
                                                        platform::ArpProbe& probe,
                                                        PlanProgress& progress, bool dryRun) {
    const SendTurn turn = TakeSendTurn();
    std::vector<TargetOutcome> outcomes(plan.targets.size());
    protocol::NetConfig block = protocol::MakeNetConfig(input.mask, input.gateway);
    // The probes run ahead; each device's command goes out as its address is
    // settled, in order.
    const AssignmentProgress assigned = AssignAddresses(
        AssignableCandidates(input.start, input.mask, input.gateway), plan.targets.size(), probe,
        [&](std::size_t i, std::uint32_t address) {
            TargetOutcome outcome;
            if (dryRun) {
                outcome.outcome = Outcome::kPlanned;
            } else {
                protocol::SetNetConfigAddress(block, platform::FormatIPv4(address).c_str());
                outcome = SentOrNot(SendSetNetwork(turn, block, plan.targets[i].identity));
            }
            outcome.address = address;
            outcomes[i] = outcome;
            progress.Done(i, outcome);
        },
        [&] { return !progress.Cancelled(); });
    // Those the candidates did not reach got no address, unless cancelled.
    if (!assigned.cancelled)
        for (std::size_t i = assigned.assigned; i < outcomes.size(); ++i)
            outcomes[i].outcome = Outcome::kNoAddress;
    return outcomes;
}

protocol::SendReport DeviceSession::SendSetNetwork(const SendTurn& turn,
                                                   const protocol::NetConfig& block,
                                                   const protocol::MacIdentity& mac) {
    CheckTurn(turn);
    return protocol::SendSetNetwork(m_sockets, block, mac);
}

}  // namespace vimbrel
