#pragma once
// vimbrel-cli's subcommands as one table: the command line is parsed from it
// (a subcommand for each row, its help), its input is checked by the row's
// identity kind and the run goes by the row's kind. A name not in the table
// is refused while the command line is read, so it never reaches a run.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/device_packet.h"

namespace vimbrel::cli {

enum class CommandKind {
    kSearch,
    kReboot,
    kFactoryReset,
    kMotorStart,
    kMotorStop,
    kSetModel,
    kAssignIp,
    kFirewall,
};

// How the camera a command goes to is named in its packet.
enum class IdentityKind {
    kNone,  // no camera is named: search, firewall
    kSerial,  // serial_no
    kMac,  // target_mac
};

struct CliCommand {
    CommandKind kind;
    const char* name;
    std::int32_t code;  // the packet's command code; 0 when the command sends none
    IdentityKind identity;
    const char* help;
};

// In the order `--help` lists them.
inline constexpr std::array<CliCommand, 8> kCliCommands = {{
    {CommandKind::kSearch, "search", protocol::CMD_SEARCH, IdentityKind::kNone,
     "search the network and list the cameras"},
    {CommandKind::kReboot, "reboot", protocol::CMD_REBOOT, IdentityKind::kSerial,
     "reboot the chosen cameras"},
    {CommandKind::kFactoryReset, "factory-reset", protocol::CMD_FACTORY_RESET,
     IdentityKind::kSerial, "restore the factory settings of the chosen cameras"},
    {CommandKind::kMotorStart, "motor-start", protocol::CMD_MOTOR_START, IdentityKind::kSerial,
     "start the motor of the chosen cameras"},
    {CommandKind::kMotorStop, "motor-stop", protocol::CMD_MOTOR_STOP, IdentityKind::kSerial,
     "stop the motor of the chosen cameras"},
    {CommandKind::kSetModel, "set-model", protocol::CMD_SET_MODEL, IdentityKind::kMac,
     "make the chosen cameras report another model"},
    {CommandKind::kAssignIp, "assign-ip", protocol::CMD_SET_NETWORK, IdentityKind::kMac,
     "give each chosen camera the next address nobody answers for"},
    {CommandKind::kFirewall, "firewall", 0, IdentityKind::kNone,
     "the computer's firewall and the cameras' replies"},
}};

// The row of `name`; nullptr when the table has none.
const CliCommand* FindCliCommand(std::string_view name);

// The table's names, ", " between them: "search, reboot, …, firewall".
std::string CliCommandNames();

}  // namespace vimbrel::cli
