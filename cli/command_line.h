#pragma once
// The command line of vimbrel-cli: subcommands and options, read with CLI11.
#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_table.h"

namespace vimbrel::cli {

// A camera named on the command line, in the order given.
struct NamedTarget {
    enum class Kind { Serial, Mac } kind;
    std::string text;  // as typed (UTF-8)
};

struct CommandLine {
    const CliCommand* command = nullptr;  // its row of kCliCommands; never null once parsed
    std::optional<std::string> interfaceAddress;
    double waitSeconds = 2.0;
    std::size_t rounds = 3;  // of each search, 1 to 10
    std::string format = "table";
    std::vector<NamedTarget> targets;
    bool all = false;
    bool yes = false;
    std::string model;  // set-model
    std::string start, mask, gateway;  // assign-ip
    std::string plan;  // assign-ip --plan: the file (UTF-8 name)
    bool dryRun = false;
    bool verbose = false;
};

// The parsed command line, or the exit code when parsing ended the run:
// 0 after --help or --version (printed on `out`), 64 after a usage error
// (one line on `err`).
struct ParseResult {
    std::optional<CommandLine> commandLine;
    int exitCode = 0;
};

ParseResult ParseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err);

}  // namespace vimbrel::cli
