#include "session/device_session.h"

#include <ctime>
#include <thread>

#include "operations/address_planner.h"
#include "operations/address_rules.h"
#include "platform/ipv4_text.h"
#include "platform/local_addresses.h"
#include "protocol/command_sender.h"
#include "protocol/command_sweep.h"

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

}  // namespace

DeviceSession::DeviceSession(protocol::LocalSockets::AddressSource addresses,
                             protocol::LocalSockets::Pause pause, std::size_t rowBound)
    : m_pause(RealPauseUnless(std::move(pause))),
      m_sockets(std::move(addresses), m_pause),
      m_table(rowBound) {}

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
    m_sockets.RefreshLocalSockets(turn);
    return m_sockets.SendToAllSockets(turn, protocol::MakeSearchRequest(std::time(nullptr)));
}

std::vector<std::uint32_t> DeviceSession::SearchAddresses() {
    std::vector<std::uint32_t> addresses = m_sockets.LiveAddresses();
    std::erase_if(addresses, platform::IsLoopback);
    return addresses;
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

void DeviceSession::Sweep(const SendTurn& turn, const std::vector<protocol::DevicePacket>& packets,
                          PlanProgress& progress, std::vector<TargetOutcome>& outcomes) {
    protocol::SendSweep(
        m_sockets, turn, packets, m_pause, [&] { return !progress.Cancelled(); },
        [&](std::size_t i, const protocol::SendReport& report) {
            const TargetOutcome sent = SentOrNot(report);
            outcomes[i].outcome = sent.outcome;
            outcomes[i].error = sent.error;
            progress.Done(i, outcomes[i]);
        });
}

std::vector<TargetOutcome> DeviceSession::RunCommand(const CommandPlan& plan,
                                                     PlanProgress& progress) {
    const SendTurn turn = TakeSendTurn();
    std::vector<protocol::DevicePacket> packets;
    packets.reserve(plan.targets.size());
    for (const auto& target : plan.targets)
        packets.push_back(protocol::MakeCommandPacket(plan.command, target.identity));
    std::vector<TargetOutcome> outcomes(plan.targets.size());
    Sweep(turn, packets, progress, outcomes);
    return outcomes;
}

std::vector<TargetOutcome> DeviceSession::RunSetModel(const MacPlan& plan, const char* modelName,
                                                      PlanProgress& progress) {
    const SendTurn turn = TakeSendTurn();
    std::vector<protocol::DevicePacket> packets;
    packets.reserve(plan.targets.size());
    for (const auto& target : plan.targets)
        packets.push_back(protocol::MakeSetModelPacket(target.identity, modelName));
    std::vector<TargetOutcome> outcomes(plan.targets.size());
    Sweep(turn, packets, progress, outcomes);
    return outcomes;
}

std::vector<TargetOutcome> DeviceSession::RunAssignment(const MacPlan& plan,
                                                        const AssignmentInput& input,
                                                        platform::ArpProbe& probe,
                                                        PlanProgress& progress, bool dryRun) {
    const SendTurn turn = TakeSendTurn();
    std::vector<TargetOutcome> outcomes(plan.targets.size());
    std::vector<std::uint32_t> given;  // device i's address, in device order
    const AssignmentProgress assigned = AssignAddresses(
        AssignableCandidates(input.start, input.mask, input.gateway), plan.targets.size(), probe,
        [&](std::size_t i, std::uint32_t address) {
            given.push_back(address);
            outcomes[i].address = address;
            if (!dryRun) return;
            outcomes[i].outcome = Outcome::kPlanned;
            progress.Done(i, outcomes[i]);
        },
        [&] { return !progress.Cancelled(); });
    if (!dryRun && !assigned.cancelled) {
        protocol::NetConfig block = protocol::MakeNetConfig(input.mask, input.gateway);
        std::vector<protocol::DevicePacket> packets;
        packets.reserve(given.size());
        for (std::size_t i = 0; i < given.size(); ++i) {
            protocol::SetNetConfigAddress(block, platform::FormatIPv4(given[i]).c_str());
            packets.push_back(protocol::MakeSetNetworkPacket(block, plan.targets[i].identity));
        }
        Sweep(turn, packets, progress, outcomes);
    }
    // Those the candidates did not reach got no address, unless cancelled.
    if (!assigned.cancelled)
        for (std::size_t i = assigned.assigned; i < outcomes.size(); ++i)
            outcomes[i].outcome = Outcome::kNoAddress;
    return outcomes;
}

std::vector<TargetOutcome> DeviceSession::RunSetNetwork(const SendTurn& turn,
                                                        const std::vector<NetworkSend>& sends,
                                                        PlanProgress& progress) {
    std::vector<protocol::DevicePacket> packets;
    packets.reserve(sends.size());
    for (const NetworkSend& send : sends)
        packets.push_back(protocol::MakeSetNetworkPacket(send.block, send.mac));
    std::vector<TargetOutcome> outcomes(sends.size());
    Sweep(turn, packets, progress, outcomes);
    return outcomes;
}

}  // namespace vimbrel
