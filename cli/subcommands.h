#pragma once
// The subcommands that work on FILE arguments (or --list PATH), which become
// the marked entries of the list in the order given. Each handler runs its
// operation and prints the operation's own messages as the window shows them:
// refusals on stderr with status 1, the closing message on stdout with status
// 0; run errors propagate as RunError (exit 2).

#include "cli/options.h"

#include <iosfwd>

namespace qv::cli {

// File names and metadata. The status is also 1 when files were left alone
// for a reason the user is told.

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

// Line operations.

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

// Whole-file and two-file content operations.

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
