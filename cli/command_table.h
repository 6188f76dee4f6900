#pragma once
// Every subcommand of qorvane-cli in one table: its name, usage line,
// summary and help text, its options, how many arguments it takes, and the
// handler that runs it. The overview, each `SUBCOMMAND --help`, the option
// parsing and the argument count check are all read from this table, so a
// subcommand is added by adding its row and its handler.

#include "cli/options.h"

#include <cstddef>
#include <iosfwd>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace qv::cli {

// Runs a subcommand with its parsed options; returns the exit status. Wrong
// usage throws UsageError, a run error RunError.
using CommandHandler = int (*)(const ParsedOptions& options, std::ostream& out, std::ostream& err);

constexpr std::size_t anyCount = std::numeric_limits<std::size_t>::max();

struct Command {
    std::string name;    // the subcommand, e.g. "cut"
    std::string usage;   // what follows "qorvane-cli" in the usage line
    std::string summary; // one line in the overview
    std::string help;    // the sentence under the usage line of --help
    std::vector<OptionSpec> options;
    std::size_t minArguments = 0; // positional arguments (FILE, TEMPLATE, ...)
    std::size_t maxArguments = anyCount;
    CommandHandler run = nullptr;
    // For a subcommand that changes or creates files, its runs' name in the
    // undo journal (the window's name for the operation); such a subcommand
    // takes --no-journal. Empty: not journaled.
    std::string journalName;
};

// The subcommands in the order the overview lists them.
const std::vector<Command>& commands();

// The row named `name`, or null.
const Command* findCommand(std::string_view name);

// Parses `args` (the arguments after the subcommand) by the row's options;
// prints the help text for --help, otherwise checks the argument count and
// runs the handler. Throws UsageError for wrong usage; run errors propagate.
int runCommand(const Command& command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qv::cli
