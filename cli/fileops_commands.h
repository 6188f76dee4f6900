#pragma once
// The subcommands over file names and metadata: rename, ext, dates, attrs.
// FILE arguments (or --list PATH) become the marked entries of the list, in
// the order given. Messages are printed as the window shows them; the status
// is 1 when an error message was shown (refused input, or files left alone
// for a reason the user is told), 0 otherwise.

#include <iosfwd>
#include <string>
#include <vector>

namespace qv::cli {

// qorvane-cli rename --template T FILE...
int runRenameCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// qorvane-cli ext --template T FILE...
int runExtCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// qorvane-cli dates [--modify DATE] [--create DATE] [--access DATE]
//                   [--time HH:MM:SS] [--dirs] FILE...
int runDatesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// qorvane-cli attrs [--archive] [--system] [--readonly] [--hidden] [--dirs]
//                   FILE...   (none of the four: archive only)
int runAttrsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qv::cli
