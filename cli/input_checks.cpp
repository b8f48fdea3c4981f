#include "cli/input_checks.h"

#include <algorithm>

#include "cli/utf8_text.h"
#include "operations/address_rules.h"
#include "operations/cell_text.h"
#include "operations/device_identity.h"
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
        throw InputError(std::string("malformed ") + what + " '" + text + "' (expected A.B.C.D)");
    return *address;
}

std::string ModelList() {
    std::string list;
    for (const char* name : kModelNames) list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

CheckedInput Check(const CommandLine& line) {
    CheckedInput input;
    if (line.interfaceAddress) {
        const std::uint32_t address = Address(*line.interfaceAddress, "interface address");
        const auto local = platform::LocalIPv4Addresses();
        if (std::none_of(local.begin(), local.end(),
                         [&](const platform::LocalAddress& a) { return a.address == address; }))
            throw InputError("this computer has no IPv4 address " + *line.interfaceAddress);
        input.interfaceAddress = address;
    }
    if (line.command == "search") return input;

    if (!line.all && line.targets.empty())
        throw InputError(line.command + ": name the cameras with --serial, --mac or --all");
    for (const NamedTarget& target : line.targets) {
        if (target.kind == NamedTarget::Kind::Mac && !MacIdentity(target.text))
            throw InputError("malformed MAC address '" + target.text +
                             "' (expected XX:XX:XX:XX:XX:XX)");
        if (target.kind == NamedTarget::Kind::Serial && target.text.empty())
            throw InputError("empty serial number");
    }
    if (line.command == "factory-reset" && line.all && !line.yes)
        throw InputError(
            "factory-reset --all resets every camera that answers; add --yes to confirm");

    if (line.command == "set-model") {
        input.model = MatchModelName(ToCellBuffer(FromUtf8(line.model)));
        if (!input.model)
            throw InputError("unknown model '" + line.model + "' (one of " + ModelList() + ")");
    }
    if (line.command == "assign-ip") {
        input.start = Address(line.start, "start address");
        input.mask = Address(line.mask, "subnet mask");
        input.gateway = Address(line.gateway, "gateway");
        switch (CheckAssignmentInput(input.start, input.mask, input.gateway)) {
        case AssignmentInputFault::kNone: break;
        case AssignmentInputFault::kMaskNotContiguous:
            throw InputError("subnet mask " + line.mask + " is not contiguous");
        case AssignmentInputFault::kGatewayOutsideNetwork:
            throw InputError("gateway " + line.gateway + " is outside the network of " +
                             line.start + " under mask " + line.mask);
        }
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
