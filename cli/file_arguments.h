#pragma once
// The FILE arguments of a subcommand become the marked entries of a file list,
// in the order given, as if the user had added and marked them in the window.

#include "cli/console_host.h"
#include "cli/options.h"
#include "operation/workspace.h"
#include "platform/file_system.h"

#include <string>
#include <vector>

namespace qv::cli {

// The paths of a --list file (UTF-8, one per line; empty lines and a final
// line break ignored). Throws RunError "Cannot open file %s" when it cannot be
// read or is not a regular file.
std::vector<std::string> readPathList(const std::string& utf8Path);

// What an entry made from a FILE argument holds besides its name and folder.
enum class EntryDetails {
    SizeAndTimes, // read from the file system: a stat per path
    None,         // zero, for an operation that reads no more than the path
};

// Appends one marked entry per path, as the system gave its bytes (see
// entryOfDiskPath: each name UTF-8, or code page 936 bytes where it is not
// UTF-8). The folder is the path's folder as given ("." for a bare name), the
// name what follows the last "/"; the entry keeps the bytes as its disk
// form. Size and times come from `fs` (zero for a file that does not exist,
// so that the operation itself reports it) when `details` asks for them.
// Updates stSrcCount. A path with a name that has no exact text is not added:
// it is refused by name through `host` (which makes the command exit with 1)
// and the others go on.
void addFileArguments(Workspace& ws, const std::vector<std::string>& utf8Paths, const FileSystem& fs, ConsoleHost& host,
                      EntryDetails details = EntryDetails::SizeAndTimes);

// The --list option every subcommand that takes FILE arguments offers.
extern const OptionSpec listOption;

// A workspace whose marked entries are the FILE arguments, then the paths of
// --list, in that order, added by addFileArguments.
Workspace workspaceOf(const ParsedOptions& options, const FileSystem& fs, ConsoleHost& host,
                      EntryDetails details = EntryDetails::SizeAndTimes);

} // namespace qv::cli
