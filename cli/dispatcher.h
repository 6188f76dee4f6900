#pragma once
// qorvane-cli's entry: picks the subcommand and maps outcomes to exit
// statuses: 0 done, 1 refused input or wrong usage, 2 a run error, 130 a
// run stopped by Ctrl-C.

#include <iosfwd>
#include <string>
#include <vector>

namespace qv::cli {

constexpr int exitDone = 0;
constexpr int exitRefused = 1;
constexpr int exitRunError = 2;
constexpr int exitStopped = 130;

// args excludes the program name. Never throws.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qv::cli
