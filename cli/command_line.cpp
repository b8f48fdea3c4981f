#include "cli/command_line.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include <CLI/CLI.hpp>

#include "cli/exit_codes.h"
#include "cli/utf8_text.h"
#include "operations/model_names.h"

#ifndef VIMBREL_VERSION
#define VIMBREL_VERSION "0"
#endif

namespace vimbrel::cli {

namespace {

constexpr const char* kProgram = "vimbrel-cli";

// The options that name cameras, shared by every command on cameras.
struct TargetOptions {
    CLI::Option* serial = nullptr;
    CLI::Option* mac = nullptr;
    std::vector<std::string> serials, macs;
};

void AddTargetOptions(CLI::App& command, TargetOptions& options, CommandLine& line) {
    options.serial =
        command
            .add_option("--serial", options.serials, "a camera by its serial number (repeatable)")
            ->allow_extra_args(false)
            ->option_text("SERIAL");
    options.mac = command
                      .add_option("--mac", options.macs,
                                  "a camera by its MAC address, XX:XX:XX:XX:XX:XX (repeatable)")
                      ->allow_extra_args(false)
                      ->option_text("MAC");
    CLI::Option* all = command.add_flag("--all", line.all, "every camera that answers the search");
    all->excludes(options.serial);
    all->excludes(options.mac);
}

// Seconds from 0.1 to 600, written as a number and nothing else.
double WaitSeconds(const std::string& text) {
    const std::string shown = "'" + EchoText(text) + "'";
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        throw CLI::ValidationError("--wait", shown + " is not a number");
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        throw CLI::ValidationError("--wait", shown + " is not a number");
    if (!std::isfinite(seconds) || errno == ERANGE)
        throw CLI::ValidationError("--wait", shown + " is not a finite number of seconds");
    if (seconds < 0.1 || seconds > 600.0)
        throw CLI::ValidationError("--wait", shown + " is outside 0.1 to 600 seconds");
    return seconds;
}

void AddWait(CLI::App& command, CommandLine& line) {
    command
        .add_option_function<std::string>(
            "--wait", [&line](const std::string& text) { line.waitSeconds = WaitSeconds(text); },
            "seconds to collect the answers to a search")
        ->option_text("SECONDS (default 2)");
}

// A whole number of rounds from 1 to 10.
std::size_t Rounds(const std::string& text) {
    const std::string shown = "'" + EchoText(text) + "'";
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        }))
        throw CLI::ValidationError("--rounds", shown + " is not a whole number");
    const int rounds = std::stoi(text);
    if (rounds < 1 || rounds > 10)
        throw CLI::ValidationError("--rounds", shown + " is outside 1 to 10");
    return static_cast<std::size_t>(rounds);
}

void AddRounds(CLI::App& command, CommandLine& line) {
    command
        .add_option_function<std::string>(
            "--rounds", [&line](const std::string& text) { line.rounds = Rounds(text); },
            "times a search is sent, spaced out, within --wait (1 to 10)")
        ->option_text("N (default 3)");
}

// The first word that is neither an option nor the value of --interface,
// when it names no subcommand.
std::optional<std::string> UnknownSubcommand(const std::vector<std::string>& args,
                                             const CLI::App& app) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--interface") {
            ++i;
            continue;
        }
        if (arg.rfind('-', 0) == 0) continue;
        const auto named =
            app.get_subcommands([&](const CLI::App* c) { return c->check_name(arg); });
        if (!named.empty()) return std::nullopt;
        return arg;
    }
    return std::nullopt;
}

void AddInterface(CLI::App& command, CommandLine& line) {
    command
        .add_option_function<std::string>(
            "--interface", [&line](const std::string& address) { line.interfaceAddress = address; },
            "only the socket bound to this local IPv4 address")
        ->option_text("ADDRESS");
}

// The named targets in the order they stood on the command line.
std::vector<NamedTarget> InOrder(const CLI::App& command, const TargetOptions& options) {
    std::vector<NamedTarget> targets;
    std::size_t serial = 0, mac = 0;
    for (const CLI::Option* option : command.parse_order()) {
        if (option == options.serial && serial < options.serials.size())
            targets.push_back({NamedTarget::Kind::Serial, options.serials[serial++]});
        else if (option == options.mac && mac < options.macs.size())
            targets.push_back({NamedTarget::Kind::Mac, options.macs[mac++]});
    }
    return targets;
}

// The help of set-model's MODEL: "ZR410, ZR420, … or ZR4500-1".
std::string ModelChoice() {
    std::string choice;
    for (std::size_t i = 0; i < kModelNames.size(); ++i) {
        if (i > 0) choice += i + 1 < kModelNames.size() ? ", " : " or ";
        choice += kModelNames[i];
    }
    return choice;
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err) {
    CommandLine line;
    CLI::App app("Finds the network cameras on the local network and acts on them.", kProgram);
    app.set_version_flag("--version", std::string(kProgram) + " " + VIMBREL_VERSION);
    app.require_subcommand(1);
    app.footer(
        "Exit codes: 0 done; 1 something asked for did not happen (a search that could not go "
        "out too); 2 no camera answered; 3 replies were lost; 64 a usage error or a refused "
        "assignment, nothing sent.");
    app.fallthrough();
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return std::string(kProgram) + ": " + EchoText(e.what(), 400) + "\n";
    });
    AddInterface(app, line);
    app.add_flag("--verbose", line.verbose, "after each search, its receive errors on stderr");

    // A subcommand for each row of the table; those that name cameras take
    // the target options.
    struct OnCameras {
        CLI::App* app;
        const CliCommand* row;
        TargetOptions options;
    };
    std::vector<OnCameras> commands;
    commands.reserve(kCliCommands.size());
    CLI::App* search = nullptr;
    CLI::App* setModel = nullptr;
    CLI::App* assign = nullptr;
    CLI::App* firewall = nullptr;
    for (const CliCommand& row : kCliCommands) {
        CLI::App* command = app.add_subcommand(row.name, row.help);
        if (row.identity != IdentityKind::kNone) commands.push_back({command, &row, {}});
        switch (row.kind) {
        case CommandKind::kSearch: search = command; break;
        case CommandKind::kSetModel: setModel = command; break;
        case CommandKind::kAssignIp: assign = command; break;
        case CommandKind::kFirewall: firewall = command; break;
        default: break;
        }
    }

    AddWait(*search, line);
    AddRounds(*search, line);
    search->add_option("--format", line.format, "table, json or csv")
        ->check(CLI::IsMember({"table", "json", "csv"}))
        ->option_text("FORMAT (default table)");

    setModel->add_option("MODEL", line.model, ModelChoice())->required();

    CLI::Option* start = assign->add_option("--start", line.start, "first address to hand out")
                             ->option_text("A.B.C.D");
    assign->add_option("--mask", line.mask, "subnet mask (with --plan: where a line has none)")
        ->option_text("A.B.C.D");
    assign
        ->add_option("--gateway", line.gateway,
                     "default gateway (with --plan: where a line has none)")
        ->option_text("A.B.C.D");
    assign
        ->add_option("--plan", line.plan,
                     "CSV with a header: mac or serial, new_ip, optional mask and gateway; "
                     "the cameras are named by it")
        ->option_text("FILE")
        ->excludes(start);
    assign->add_flag("--dry-run", line.dryRun, "probe and print the plan; send nothing");
    assign->add_flag("--yes", line.yes,
                     "assign also to cameras whose new address is outside the network they "
                     "answered through (else refused, exit 64)");

    for (OnCameras& command : commands) {
        AddTargetOptions(*command.app, command.options, line);
        AddWait(*command.app, line);
        AddRounds(*command.app, line);
        if (command.row->kind == CommandKind::kFactoryReset)
            command.app->add_flag("--yes", line.yes, "confirm a factory reset of --all");
    }

    firewall->require_subcommand(1);
    firewall->add_subcommand(
        "allow",
        "let the cameras' replies through Windows Firewall (as an administrator): delete this "
        "program's inbound rules and add its allow rule");

    if (const auto unknown = UnknownSubcommand(args, app)) {
        err << kProgram << ": unknown subcommand '" << EchoText(*unknown) << "' (one of "
            << CliCommandNames() << ")\n";
        return {std::nullopt, kExitUsage};
    }
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        return {std::nullopt, code == 0 ? kExitOk : kExitUsage};
    }

    line.command = FindCliCommand(app.get_subcommands().front()->get_name());
    for (const OnCameras& command : commands)
        if (command.app->parsed()) line.targets = InOrder(*command.app, command.options);
    return {line, kExitOk};
}

}  // namespace vimbrel::cli
