#pragma once
// The subcommands over file names and metadata: rename, ext, dates, attrs.
// FILE arguments (or --list PATH) become the marked entries of the list, in
// the order given. Messages are printed as the window shows them; the status
// is 1 when an error message was shown (refused input, or files left alone
// for a reason the user is told), 0 otherwise.

#include "cli/options.h"

#include <iosfwd>

namespace qv::cli {

// qorvane-cli rename --template T FILE...
int runRenameCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

// qorvane-cli ext --template T FILE...
int runExtCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

// qorvane-cli dates [--modify DATE] [--create DATE] [--access DATE]
//                   [--time HH:MM:SS] [--dirs] FILE...
int runDatesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

// qorvane-cli attrs [--archive] [--system] [--readonly] [--hidden] [--dirs]
//                   FILE...   (none of the four: archive only)
int runAttrsCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

} // namespace qv::cli
