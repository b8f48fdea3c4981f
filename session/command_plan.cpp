#include "session/command_plan.h"

namespace vimbrel {

namespace {

std::wstring NameOf(const PlanDevice& device) { return DeviceName(device.serial, device.mac); }

template <typename Identity>
void AddOutcomes(const std::vector<PlanDevice>& devices,
                 const std::vector<CommandTarget<Identity>>& targets,
                 const std::vector<TargetOutcome>& outcomes, BatchReport& report) {
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::wstring name = NameOf(devices[targets[i].device]);
        const Outcome outcome = i < outcomes.size() ? outcomes[i].outcome : Outcome::kNotReached;
        switch (outcome) {
        case Outcome::kNotReached: report.notReached.push_back(name); break;
        case Outcome::kNoAddress: report.unassigned.push_back(name); break;
        case Outcome::kAddressTaken: report.addressTaken.push_back(name); break;
        case Outcome::kNotSent:
            report.notSent.push_back(name);
            NoteSendFailure(report, outcomes[i].error);
            break;
        case Outcome::kSent:
        case Outcome::kPlanned: break;
        }
    }
}

}  // namespace

std::vector<PlanDevice> PlanDevicesOf(const std::vector<TableRow>& rows) {
    std::vector<PlanDevice> devices;
    devices.reserve(rows.size());
    for (const TableRow& row : rows) devices.push_back({row.device.serial, row.device.mac});
    return devices;
}

CommandPlan PlanCommand(std::int32_t command, std::vector<PlanDevice> devices) {
    CommandPlan plan;
    plan.command = command;
    plan.devices = std::move(devices);
    for (std::size_t i = 0; i < plan.devices.size(); ++i) {
        if (const auto serial = protocol::CheckSerialIdentity(plan.devices[i].serial))
            plan.targets.push_back({i, *serial});
        else
            plan.skipped.push_back(i);
    }
    return plan;
}

MacPlan PlanByMac(std::vector<PlanDevice> devices) {
    MacPlan plan;
    plan.devices = std::move(devices);
    for (std::size_t i = 0; i < plan.devices.size(); ++i) {
        if (const auto mac = protocol::CheckMacIdentity(plan.devices[i].mac))
            plan.targets.push_back({i, *mac});
        else
            plan.skipped.push_back(i);
    }
    return plan;
}

BatchReport ReportOf(const CommandPlan& plan, const std::vector<TargetOutcome>& outcomes) {
    BatchReport report;
    for (const std::size_t i : plan.skipped) report.badSerial.push_back(NameOf(plan.devices[i]));
    AddOutcomes(plan.devices, plan.targets, outcomes, report);
    return report;
}

BatchReport ReportOf(const MacPlan& plan, const std::vector<TargetOutcome>& outcomes) {
    BatchReport report;
    for (const std::size_t i : plan.skipped) report.badMac.push_back(NameOf(plan.devices[i]));
    AddOutcomes(plan.devices, plan.targets, outcomes, report);
    return report;
}

}  // namespace vimbrel
