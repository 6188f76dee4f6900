#include "cli/file_arguments.h"

#include "cli/console_text.h"
#include "filelist/entry_time.h"
#include "platform/file_io.h"
#include "text/run_error.h"

#include <chrono>

namespace qv::cli {
namespace {

std::int64_t unixSeconds(FileTime time)
{
    return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

} // namespace

std::vector<std::string> readPathList(const std::string& utf8Path)
{
    const std::optional<std::string> path = toProgramName(utf8Path);
    if (!path) throw RunError(formatMessage("Cannot open file %s", toProgramText(printableArgument(utf8Path))));
    const std::string bytes = readFileBytes(*path);
    std::vector<std::string> paths;
    for (const std::string_view line : text::LineList::fromBytes(bytes))
        if (!line.empty()) paths.emplace_back(line);
    return paths;
}

void addFileArguments(Workspace& ws, const std::vector<std::string>& utf8Paths, const FileSystem& fs,
                      ConsoleHost& host)
{
    const std::int64_t offset = currentUtcOffset();
    for (const std::string& utf8 : utf8Paths) {
        const std::optional<std::string> path = toProgramName(utf8);
        if (!path) {
            host.refuseInConsoleText(unconvertibleNameMessage(utf8));
            continue;
        }
        ListEntry entry;
        const auto slash = path->rfind('/');
        entry.folder = slash == std::string::npos ? "." : path->substr(0, slash);
        entry.name = slash == std::string::npos ? *path : path->substr(slash + 1);
        if (const auto info = fs.stat(*path)) {
            entry.size = static_cast<std::int64_t>(info->size);
            entry.created = toLocalSeconds(unixSeconds(info->creationTime), offset);
            entry.modified = toLocalSeconds(unixSeconds(info->lastWriteTime), offset);
        }
        ws.files.append(entry);
        ws.files.setMark(ws.files.lastRow(), true);
        ++ws.counters.stSrcCount;
    }
}

const OptionSpec listOption{"list", "PATH", "", "read the FILE paths from PATH, one per line (UTF-8)"};

Workspace workspaceOf(const ParsedOptions& options, const FileSystem& fs, ConsoleHost& host)
{
    std::vector<std::string> paths = options.positional();
    if (const auto list = options.given("list")) {
        const auto listed = readPathList(*list);
        paths.insert(paths.end(), listed.begin(), listed.end());
    }
    Workspace ws;
    addFileArguments(ws, paths, fs, host);
    return ws;
}

} // namespace qv::cli
