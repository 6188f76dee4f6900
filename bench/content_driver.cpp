// A small command-line driver for the benchmark script: runs one of the line
// subcommands the way qorvane-cli does (messages on stdout/stderr, status 0
// done, 1 refused, 2 run error), so the script does not depend on how the
// main program's subcommand table is wired.

#include "cli/content_commands.h"
#include "cli/line_commands.h"
#include "cli/options.h"
#include "text/run_error.h"

#include <iostream>
#include <map>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);
    const std::map<std::string, Command> commands{
        {"cut", qv::cli::runCutCommand},
        {"insert", qv::cli::runInsertCommand},
        {"pattern", qv::cli::runPatternCommand},
        {"delete-lines", qv::cli::runDeleteLinesCommand},
        {"extract-lines", qv::cli::runExtractLinesCommand},
        {"insert-lines", qv::cli::runInsertLinesCommand},
        {"combine", qv::cli::runCombineCommand},
    };
    if (argc < 2 || !commands.count(argv[1])) {
        std::cerr << "usage: content_driver SUBCOMMAND [OPTIONS] FILE...\n";
        return 1;
    }
    try {
        return commands.at(argv[1])(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
    } catch (const qv::cli::UsageError& e) {
        std::cerr << e.what() << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 2;
    }
}
