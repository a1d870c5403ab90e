#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace lynkora::cli {

// What a command gets: its arguments (after the command name) and the standard streams.
struct CommandContext {
    std::vector<std::string> args;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// A command returns the process exit code; failures are thrown and reported by the caller.
using CommandHandler = int (*)(CommandContext&);

struct Command {
    const char* name;
    const char* usage;
    CommandHandler handler;
};

// The command table: one line per command.
const std::vector<Command>& Commands();

// Runs the command line; returns the exit code. Errors go to `err` with the program's texts.
int RunCli(const std::vector<std::string>& argv, std::istream& in, std::ostream& out,
           std::ostream& err);

// Thrown for a wrong command line.
struct UsageError {
    std::string message;
};

int InfoCommand(CommandContext& ctx);
int ExportJsonCommand(CommandContext& ctx);
int ImportJsonCommand(CommandContext& ctx);
int InspectCommand(CommandContext& ctx);
int CompactCommand(CommandContext& ctx);
int VerifyCommand(CommandContext& ctx);
int ImportCommand(CommandContext& ctx);
int SyncCommand(CommandContext& ctx);
int ExportCommand(CommandContext& ctx);
int HtmlExportCommand(CommandContext& ctx);
int FindCommand(CommandContext& ctx);
int DuplicatesCommand(CommandContext& ctx);

} // namespace lynkora::cli
