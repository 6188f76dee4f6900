#pragma once
// The subcommands of the line operations: cut, insert, pattern, delete-lines,
// extract-lines and insert-lines. Each takes FILE arguments (or --list PATH)
// as the marked entries, runs the operation, prints its messages, and
// returns 0 when done, 1 when refused; run errors propagate as RunError.

#include "cli/options.h"

#include <iosfwd>

namespace qv::cli {

// cut --template T --keep piece|rest --lines text|all|number:N|keyword:K
int runCutCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// insert --template T --lines text|all|number:N|keyword:K
int runInsertCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// pattern --pattern P --prefix $ --count 3
int runPatternCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// delete-lines, one of --numbers LIST (default 1), --interval N:M, --keywords K, --empty
int runDeleteLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// extract-lines, one of --numbers LIST (default 1), --interval N:M, --keywords K; --no-empty
int runExtractLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// insert-lines --content C --template T, one of --at K (default 0), --interval N:M, --keywords K
int runInsertLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

} // namespace qv::cli
