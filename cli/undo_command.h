#pragma once
// qorvane-cli undo: takes back a journaled run, lists the runs, or shows
// what taking one back would do.

#include "cli/options.h"

#include <iosfwd>

namespace qv::cli {

int runUndoCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

} // namespace qv::cli
