#include "cli/input_checks.h"

#include <algorithm>

#include "cli/utf8_text.h"
#include "cli/words.h"
#include "operations/address_rules.h"
#include "protocol/cell_text.h"
#include "protocol/device_identity.h"
#include "operations/model_names.h"
#include "platform/local_addresses.h"
#include "platform/ipv4_text.h"

namespace vimbrel::cli {

namespace {

class InputError {
public:
    explicit InputError(std::string reason) : reason(std::move(reason)) {}
    std::string reason;
};

std::uint32_t Address(const std::string& text, const char* what) {
    const std::optional<std::uint32_t> address = platform::ParseIPv4(text);
    if (!address)
        throw InputError(std::string("malformed ") + what + " '" + EchoText(text) +
                         "' (expected A.B.C.D)");
    return *address;
}

std::string ModelList() {
    std::string list;
    for (const char* name : kModelNames) list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

// A serial number goes into the command as a camera's 32-byte field does.
void CheckSerial(const std::string& serial) {
    if (serial.empty()) throw InputError("empty serial number");
    if (!IsUtf8(serial))
        throw InputError("serial number '" + EchoText(serial) + "' is not valid UTF-8");
    if (!protocol::CheckSerialIdentity(FromUtf8(serial)))
        throw InputError("serial number '" + EchoText(serial) +
                         "' is longer than a camera's serial field (31 bytes in the code page)");
}

std::string FaultText(AssignmentInputFault fault, const CommandLine& line) {
    return AssignmentFaultWords(fault, "start address", EchoText(line.start), "subnet mask",
                                EchoText(line.mask), EchoText(line.gateway));
}

CheckedInput Check(const CommandLine& line) {
    CheckedInput input;
    if (line.interfaceAddress) {
        const std::uint32_t address = Address(*line.interfaceAddress, "interface address");
        const auto local = platform::LocalIPv4Addresses();
        if (std::none_of(local.begin(), local.end(),
                         [&](const platform::LocalAddress& a) { return a.address == address; }))
            throw InputError("this computer has no IPv4 address " +
                             EchoText(*line.interfaceAddress));
        input.interfaceAddress = address;
    }
    const CommandKind kind = line.command->kind;
    if (line.command->identity == IdentityKind::kNone) return input;

    const bool plan = kind == CommandKind::kAssignIp && !line.plan.empty();
    if (plan && (line.all || !line.targets.empty()))
        throw InputError(
            "assign-ip --plan: the plan names the cameras; leave out --serial, --mac "
            "and --all");
    if (!plan && !line.all && line.targets.empty())
        throw InputError(std::string(line.command->name) +
                         ": name the cameras with --serial, --mac or --all");
    for (const NamedTarget& target : line.targets) {
        if (target.kind == NamedTarget::Kind::Mac &&
            !protocol::CheckMacIdentity(std::string_view(target.text)))
            throw InputError("malformed MAC address '" + EchoText(target.text) +
                             "' (expected XX:XX:XX:XX:XX:XX)");
        if (target.kind == NamedTarget::Kind::Serial) CheckSerial(target.text);
    }
    if (kind == CommandKind::kFactoryReset && line.all && !line.yes)
        throw InputError(
            "factory-reset --all resets every camera that answers; add --yes to confirm");

    if (kind == CommandKind::kSetModel) {
        input.model = MatchModelName(ToCellBuffer(FromUtf8(line.model)));
        if (!input.model)
            throw InputError("unknown model '" + EchoText(line.model) + "' (one of " + ModelList() +
                             ")");
    }
    if (plan) {
        if (!line.mask.empty()) input.planMask = Address(line.mask, "subnet mask");
        if (!line.gateway.empty()) input.planGateway = Address(line.gateway, "gateway");
        return input;
    }
    if (kind == CommandKind::kAssignIp) {
        for (const auto& [value, name] :
             {std::pair{&line.start, "--start"}, std::pair{&line.mask, "--mask"},
              std::pair{&line.gateway, "--gateway"}})
            if (value->empty())
                throw InputError(std::string("assign-ip: ") + name +
                                 " is required (or an address plan with --plan FILE)");
        input.start = Address(line.start, "start address");
        input.mask = Address(line.mask, "subnet mask");
        input.gateway = Address(line.gateway, "gateway");
        const AssignmentInputFault fault =
            CheckAssignmentInput(input.start, input.mask, input.gateway);
        if (fault != AssignmentInputFault::kNone) throw InputError(FaultText(fault, line));
    }
    return input;
}

}  // namespace

std::optional<CheckedInput> CheckInput(const CommandLine& line, std::ostream& err) {
    try {
        return Check(line);
    } catch (const InputError& e) {
        err << "vimbrel-cli: " << e.reason << '\n';
        return std::nullopt;
    }
}

}  // namespace vimbrel::cli
