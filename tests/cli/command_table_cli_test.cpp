// The command table: every subcommand is read from it, the commands sent to
// cameras carry their packet's code, and a name not in it is refused before
// anything runs.
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_line.h"
#include "cli/command_table.h"

namespace vimbrel::cli {
namespace {

TEST(CommandTable, EveryRowIsASubcommandThatParsesToItself) {
    const std::map<std::string, std::vector<std::string>> rest = {
        {"search", {}},
        {"reboot", {"--all"}},
        {"factory-reset", {"--mac", "00:1A:2B:3C:4D:01"}},
        {"motor-start", {"--serial", "SN-A"}},
        {"motor-stop", {"--all"}},
        {"set-model", {"ZR420-2", "--all"}},
        {"assign-ip", {"--all", "--start", "192.168.2.10"}},
        {"firewall", {"allow"}},
    };
    ASSERT_EQ(rest.size(), kCliCommands.size());
    for (const CliCommand& row : kCliCommands) {
        std::vector<std::string> args{row.name};
        const auto& more = rest.at(row.name);
        args.insert(args.end(), more.begin(), more.end());
        std::ostringstream out, err;
        const ParseResult parsed = ParseCommandLine(args, out, err);
        ASSERT_TRUE(parsed.commandLine) << row.name << ": " << err.str();
        EXPECT_EQ(parsed.commandLine->command, &row) << row.name;
        EXPECT_EQ(FindCliCommand(row.name), &row);
    }
}

TEST(CommandTable, CommandsToCamerasCarryTheirPacketCodeAndIdentity) {
    struct Expected {
        const char* name;
        std::int32_t code;
        IdentityKind identity;
    };
    for (const Expected& e : {
             Expected{"reboot", 103, IdentityKind::kSerial},
             Expected{"factory-reset", 104, IdentityKind::kSerial},
             Expected{"motor-start", 106, IdentityKind::kSerial},
             Expected{"motor-stop", 107, IdentityKind::kSerial},
             Expected{"set-model", 105, IdentityKind::kMac},
             Expected{"assign-ip", 102, IdentityKind::kMac},
             Expected{"search", 100, IdentityKind::kNone},
             Expected{"firewall", 0, IdentityKind::kNone},
         }) {
        const CliCommand* row = FindCliCommand(e.name);
        ASSERT_NE(row, nullptr) << e.name;
        EXPECT_EQ(row->code, e.code) << e.name;
        EXPECT_EQ(row->identity, e.identity) << e.name;
    }
}

TEST(CommandTable, AnUnknownNameIsRefusedWithTheTablesNames) {
    EXPECT_EQ(FindCliCommand("reboo"), nullptr);
    EXPECT_EQ(FindCliCommand(""), nullptr);
    EXPECT_EQ(FindCliCommand("allow"), nullptr);  // a subcommand of firewall only
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"reboo", "--all"}, {"--interface", "10.0.0.1", "set-modle"}}) {
        std::ostringstream out, err;
        const ParseResult parsed = ParseCommandLine(args, out, err);
        EXPECT_FALSE(parsed.commandLine);
        EXPECT_EQ(parsed.exitCode, 64);
        EXPECT_NE(err.str().find("(one of search, reboot, factory-reset, motor-start, motor-stop, "
                                 "set-model, assign-ip, firewall)"),
                  std::string::npos)
            << err.str();
    }
}

}  // namespace
}  // namespace vimbrel::cli
