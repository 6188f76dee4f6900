#pragma once
// The subcommands of the whole-file and two-file content operations:
// merge-keys, sync-lines, stats, combine, replace, charset and convert. Each prints
// the operation's own messages (refusals on stderr, exit 1; the closing
// message on stdout, exit 0); run errors propagate as RunError (exit 2).

#include "cli/options.h"

#include <iosfwd>

namespace qv::cli {

// qorvane-cli merge-keys SOURCE TARGET
int runMergeKeysCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// qorvane-cli sync-lines [--keywords K] SOURCE TARGET
int runSyncLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// qorvane-cli stats FILE: the seven results and the path, one a line.
int runStatsCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// qorvane-cli combine [--list PATH] [FILE...]
int runCombineCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// qorvane-cli replace --template T [--list PATH] [FILE...]
int runReplaceCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// qorvane-cli charset --call C [--list PATH] [FILE...]
int runCharsetCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);
// qorvane-cli convert --call C [--list PATH] [FILE...]; spreadsheets through
// soffice found on PATH.
int runConvertCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

} // namespace qv::cli
