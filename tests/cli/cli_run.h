#pragma once
// Runs one qorvane-cli subcommand in-process, by name, and keeps what it
// printed.

#include "cli/command_table.h"

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace qv::cli {

using CommandName = const char*;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun run(CommandName command, const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = runCommand(*findCommand(command), args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace qv::cli
