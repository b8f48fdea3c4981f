#pragma once
// The commands on chosen devices as plans: which devices a command goes to
// with the identity it carries, which it skips because they can't be named,
// and what became of each target. No toolkit: the window shows a plan under
// its progress dialog and in one message after it, the command line prints
// it line by line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "operations/batch_report.h"
#include "platform/socket_error.h"
#include "protocol/device_identity.h"
#include "session/device_table.h"

namespace vimbrel {

// What a row tells a plan: its serial number and MAC texts as the reply
// gave them, checked by the plan (PlanCommand, PlanByMac).
struct PlanDevice {
    std::wstring serial;
    std::wstring mac;
};
// The plan devices of table rows, in their order.
std::vector<PlanDevice> PlanDevicesOf(const std::vector<TableRow>& rows);

template <typename Identity>
struct CommandTarget {
    std::size_t device;  // index into the plan's devices
    Identity identity;
};

// Reboot, factory reset, motor start or stop: by serial number.
struct CommandPlan {
    std::int32_t command = 0;
    std::vector<PlanDevice> devices;
    std::vector<CommandTarget<protocol::SerialIdentity>> targets;
    std::vector<std::size_t> skipped;  // the serial number doesn't fit its field
};
CommandPlan PlanCommand(std::int32_t command, std::vector<PlanDevice> devices);

// Set-model, set-network and the address assignment: by MAC address.
struct MacPlan {
    std::vector<PlanDevice> devices;
    std::vector<CommandTarget<protocol::MacIdentity>> targets;
    std::vector<std::size_t> skipped;  // the MAC text isn't six octets
};
MacPlan PlanByMac(std::vector<PlanDevice> devices);

// What became of one target.
enum class Outcome {
    kNotReached,  // the plan was cancelled before it
    kSent,
    kNotSent,  // no local address, or every send failed
    kNoAddress,  // the assignment had no free address left for it
    kPlanned,  // a dry run: the address it would get
    kAddressTaken,  // the address plan's new address is another host's: nothing sent
};
struct TargetOutcome {
    Outcome outcome = Outcome::kNotReached;
    std::uint32_t address = 0;  // the address the assignment gave it
    platform::SocketError error;  // why it was not sent
};

// What a running plan tells and hears, on the thread that runs it.
class PlanProgress {
public:
    virtual ~PlanProgress() = default;
    // Target `target` is done with `outcome`.
    virtual void Done(std::size_t target, const TargetOutcome& outcome) = 0;
    // Whether to start no further target.
    virtual bool Cancelled() { return false; }
};

// What the plan could not do, for the message after it: the skipped devices
// and the targets by their outcomes.
BatchReport ReportOf(const CommandPlan& plan, const std::vector<TargetOutcome>& outcomes);
BatchReport ReportOf(const MacPlan& plan, const std::vector<TargetOutcome>& outcomes);

}  // namespace vimbrel
