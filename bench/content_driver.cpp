// A small command-line driver for the benchmark script: runs one of the line
// subcommands the way qorvane-cli does (messages on stdout/stderr, status 0
// done, 1 refused, 2 run error), with the options of its row in the
// subcommand table, but without recording the run in the undo journal: the
// script times the operation, and its runs over throw-away files do not
// belong in the user's journal.

#include "cli/command_table.h"
#include "cli/options.h"

#include <iostream>
#include <set>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::set<std::string> timed{"cut",           "insert",       "pattern", "delete-lines",
                                      "extract-lines", "insert-lines", "combine"};
    const qv::cli::Command* command = argc >= 2 && timed.count(argv[1]) ? qv::cli::findCommand(argv[1]) : nullptr;
    if (!command) {
        std::cerr << "usage: content_driver SUBCOMMAND [OPTIONS] FILE...\n";
        return 1;
    }
    try {
        const qv::cli::ParsedOptions options =
            qv::cli::parseOptions(std::vector<std::string>(argv + 2, argv + argc), command->options);
        return command->run(options, std::cout, std::cerr);
    } catch (const qv::cli::UsageError& e) {
        std::cerr << e.what() << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 2;
    }
}
