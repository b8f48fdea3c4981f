#include "cli/command_table.h"

namespace vimbrel::cli {

const CliCommand* FindCliCommand(std::string_view name) {
    for (const CliCommand& command : kCliCommands)
        if (name == command.name) return &command;
    return nullptr;
}

std::string CliCommandNames() {
    std::string names;
    for (const CliCommand& command : kCliCommands)
        names += (names.empty() ? "" : ", ") + std::string(command.name);
    return names;
}

}  // namespace vimbrel::cli
