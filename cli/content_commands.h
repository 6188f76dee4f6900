#pragma once
// The subcommands of the whole-file and two-file content operations:
// merge-keys, sync-lines, stats, combine, replace, charset and convert. Each prints
// the operation's own messages (refusals on stderr, exit 1; the closing
// message on stdout, exit 0); run errors propagate as RunError (exit 2).

#include <iosfwd>
#include <string>
#include <vector>

namespace qv::cli {

// qorvane-cli merge-keys SOURCE TARGET
int runMergeKeysCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// qorvane-cli sync-lines [--keywords K] SOURCE TARGET
int runSyncLinesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// qorvane-cli stats FILE: the seven results and the path, one a line.
int runStatsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// qorvane-cli combine [--list PATH] [FILE...]
int runCombineCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// qorvane-cli replace --template T [--list PATH] [FILE...]
int runReplaceCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// qorvane-cli charset --call C [--list PATH] [FILE...]
int runCharsetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// qorvane-cli convert --call C [--list PATH] [FILE...]; spreadsheets through
// soffice found on PATH.
int runConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qv::cli
