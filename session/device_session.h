#pragma once
// The device session: what the window and the command line share for a
// whole run. It owns the local sockets, the receive thread and the reply
// queue, keeps the table of the devices found, and runs the commands on
// chosen devices as plans. No toolkit: the front ends only render the table
// and the outcomes.
//
// Threads: the receive thread queues replies and calls `notify`; the table
// is read and written on one thread, the one that takes the replies (the
// window thread, the command line's only one). One thread at a time
// refreshes the sockets and sends: every send needs the SendTurn, which only
// one thread holds at a time, and checks that its holder is the caller. The
// sockets and the queue stay inside; the front ends ask for what they need.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/arp_probe.h"
#include "platform/owner_thread.h"
#include "protocol/local_sockets.h"
#include "protocol/reply_queue.h"
#include "protocol/reply_receiver.h"
#include "session/command_plan.h"
#include "session/device_table.h"
#include "session/search_rounds.h"

namespace vimbrel {

namespace test {
struct SessionInsides;
}

// The address assignment's input, checked (CheckAssignmentInput).
struct AssignmentInput {
    std::uint32_t start = 0;
    std::uint32_t mask = 0;
    std::uint32_t gateway = 0;
};

class DeviceSession {
public:
    using Notify = protocol::ReplyReceiver::Notify;

    // Sockets on the addresses `addresses` gives (SocketAddresses by
    // default), 50 ms between a search's multicast and its broadcast.
    explicit DeviceSession(
        protocol::LocalSockets::AddressSource addresses = platform::SocketAddresses,
        protocol::LocalSockets::Pause pause = nullptr, std::size_t rowBound = kMaxDeviceRows);
    ~DeviceSession();  // Stop
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Starts the receive thread; `notify` runs on it when replies wait.
    void Start(Notify notify);
    // Stops the receive thread (waking its wait) and waits for it, closes
    // the sockets and frees the queued replies. Once; nothing after it.
    void Stop();
    bool ReceiveThreadExited() const { return m_receiver.Exited(); }

    // The right to refresh the sockets and send, held by one thread at a
    // time for as long as it lives: the socket list's own, which every
    // refresh and send of the protocol asks for.
    using SendTurn = protocol::LocalSockets::SendTurn;
    [[nodiscard]] SendTurn TakeSendTurn() { return m_sockets.TakeSendTurn(); }

    // A new search: the table emptied, a new count of dropped replies; with
    // `forgetQueued` the replies queued for an earlier search go too.
    void ClearTable(bool forgetQueued);
    // Refreshes the sockets and sends the search request on every one.
    [[nodiscard]] protocol::SendReport SendSearch(const SendTurn& turn);
    // The search in rounds that start at `starts` (RoundStarts), counted
    // from now, each round with the send turn for itself alone: a batch may
    // send between two rounds, never inside one. `sent` hears each round's
    // report. Ends at once when `stop` is set, sending no further round.
    // Returns the rounds sent.
    std::size_t SendSearchRounds(const std::vector<std::chrono::milliseconds>& starts,
                                 SearchStop& stop,
                                 const std::function<void(const protocol::SendReport&)>& sent);
    // Takes the queued replies into the table until `until`, calling `added`
    // with each new row; replies beyond the table's bound are counted as
    // dropped. True when taken replies are left for the next call.
    bool TakeReplies(std::chrono::steady_clock::time_point until,
                     const std::function<void(const TableRow&)>& added);
    const DeviceTable& Table() const { return m_table; }
    // Replies dropped since the search began: at the queue's bound (a
    // flood) or the table's.
    std::size_t Dropped() { return m_replies.Dropped(); }
    // The table may lack devices: replies were dropped or it is full.
    bool Bounded() { return Dropped() > 0 || m_table.Full(); }

    // The plans, run on the calling thread with the send turn held for the
    // whole run. A plan's commands go out in one sweep (SendSweep: every
    // multicast copy, one pause, every broadcast copy), which a cancel stops
    // between slices; `progress` hears of each target as its broadcast copy
    // has gone. One outcome per target.
    std::vector<TargetOutcome> RunCommand(const CommandPlan& plan, PlanProgress& progress);
    std::vector<TargetOutcome> RunSetModel(const MacPlan& plan, const char* modelName,
                                           PlanProgress& progress);
    // Gives each target the next candidate of `input` that no host answers
    // an ARP probe for, probing the candidates in one wave, then sends every
    // target its address in one sweep; a dry run sends nothing (kPlanned, told
    // as each address is settled). A cancel during the probes sends nothing.
    std::vector<TargetOutcome> RunAssignment(const MacPlan& plan, const AssignmentInput& input,
                                             platform::ArpProbe& probe, PlanProgress& progress,
                                             bool dryRun = false);
    // One device's network settings, as the address plan gives them.
    struct NetworkSend {
        protocol::NetConfig block;
        protocol::MacIdentity mac;
    };
    // Sends each device its network settings in one sweep (the address
    // plan's lines), with the turn the caller holds; `progress` hears of
    // each. One outcome per send.
    std::vector<TargetOutcome> RunSetNetwork(const SendTurn& turn,
                                             const std::vector<NetworkSend>& sends,
                                             PlanProgress& progress);

    // The addresses the searches go out on: those of the live sockets, in
    // the list's order, loopback left out (a search from it reaches no
    // camera).
    std::vector<std::uint32_t> SearchAddresses();
    // Replies are queued that TakeReplies has not taken yet.
    bool RepliesWaiting() { return m_replies.Size() > 0; }
    // The receive thread's failed waits and receives since it started.
    protocol::ReceiveErrors ReceiveErrors() const { return m_receiver.Errors(); }

private:
    friend struct test::SessionInsides;  // tests/support/session_insides.h

    // Sends `packets` in one sweep; outcome i (its address kept) is packet
    // i's and is told to `progress` as it is done.
    void Sweep(const SendTurn& turn, const std::vector<protocol::DevicePacket>& packets,
               PlanProgress& progress, std::vector<TargetOutcome>& outcomes);

    protocol::LocalSockets::Pause m_pause;
    protocol::LocalSockets m_sockets;
    protocol::ReplyQueue m_replies;
    Notify m_notify;
    protocol::ReplyReceiver m_receiver{m_sockets, m_replies, [this] { m_notify(); }};
    DeviceTable m_table;
    protocol::ReplyQueue::Replies m_taken;  // taken off the queue, not yet in the table
    platform::OwnerThread m_tableThread;
    bool m_stopped = false;
};

}  // namespace vimbrel
