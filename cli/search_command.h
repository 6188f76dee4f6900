#pragma once
// qorvane-cli search: the file search from a shell.

#include "cli/options.h"

#include <iosfwd>

namespace qv::cli {

// Runs a search and prints the file list, one entry a line, its six cells
// (name, folder, size, created, modified, type) separated by TAB, in UTF-8.
// `options` come from the UTF-8 arguments after "search": --folder "A;B"
// (default: the current folder), --types "*.txt;*.ini" (default "*.txt"),
// --size MIN:MAX, --date modify|create|access:YYYY-MM-DD:YYYY-MM-DD,
// --no-sub, --sort COLUMN[:desc], --help.
// Returns 0 when done (an information message, such as names left out, goes
// to stderr so stdout holds only entries), 1 for refused input. Throws
// UsageError for wrong usage and RunError for a size bound that is not a
// number, as the other subcommands do.
int runSearchCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

} // namespace qv::cli
