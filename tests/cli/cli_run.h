#pragma once
// Runs one qorvane-cli subcommand in-process and keeps what it printed.

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace qv::cli {

using CommandFunction = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun run(CommandFunction command, const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace qv::cli
