#include "cli/file_arguments.h"

#include "cli/console_text.h"
#include "filelist/entry_time.h"
#include "platform/clock.h"
#include "platform/file_io.h"
#include "text/run_error.h"
#include "window/list_commands.h"

namespace qv::cli {

std::vector<std::string> readPathList(const std::string& utf8Path)
{
    if (utf8Path.empty() || utf8Path.find('\0') != std::string::npos)
        throw RunError(formatMessage("Cannot open file %s", programText(printableArgument(utf8Path))));
    const std::string bytes = readFileBytes(utf8Path);
    std::vector<std::string> paths;
    for (const std::string_view line : text::LineList::fromBytes(bytes))
        if (!line.empty()) paths.emplace_back(line);
    return paths;
}

void addFileArguments(Workspace& ws, const std::vector<std::string>& utf8Paths, const FileSystem& fs, ConsoleHost& host,
                      EntryDetails details)
{
    const std::int64_t offset = currentUtcOffset();
    for (const std::string& path : utf8Paths) {
        std::optional<ListEntry> entry = entryOfDiskPath(path);
        if (!entry) {
            host.refuseInConsoleText(unconvertibleNameMessage(path));
            continue;
        }
        appendPathEntry(ws, std::move(*entry), details == EntryDetails::SizeAndTimes ? fs.stat(path) : std::nullopt,
                        offset);
        ws.files.setMark(ws.files.lastRow(), true);
    }
}

const OptionSpec listOption{"list", "PATH", "", "read the FILE paths from PATH, one per line (UTF-8)"};

Workspace workspaceOf(const ParsedOptions& options, const FileSystem& fs, ConsoleHost& host, EntryDetails details)
{
    std::vector<std::string> paths = options.positional();
    if (const auto list = options.given("list")) {
        const auto listed = readPathList(*list);
        paths.insert(paths.end(), listed.begin(), listed.end());
    }
    Workspace ws;
    addFileArguments(ws, paths, fs, host, details);
    return ws;
}

} // namespace qv::cli
