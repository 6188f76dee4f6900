#include "cli/search_command.h"

#include "cli/console_host.h"
#include "cli/console_text.h"
#include "cli/options.h"
#include "filelist/sort.h"
#include "fileops/local_time.h"
#include "operation/host.h"
#include "operation/workspace.h"
#include "platform/ascii.h"
#include "platform/posix_file_system.h"
#include "platform/process_paths.h"
#include "text/run_error.h"
#include "window/search.h"

#include <array>
#include <ostream>

namespace qv::cli {
namespace {

std::pair<std::string, std::string> splitAt(const std::string& text, std::size_t at)
{
    return {text.substr(0, at), text.substr(at + 1)};
}

// A day of --date; one that does not read is wrong usage.
CalendarDate dateOption(const std::string& text)
{
    try {
        return parseDate(text);
    } catch (const RunError& e) {
        throw UsageError(std::string("--date: ") + e.what());
    }
}

void readDate(const std::string& value, SearchCriteria& criteria)
{
    const auto first = value.find(':');
    const auto second = first == std::string::npos ? first : value.find(':', first + 1);
    if (second == std::string::npos) throw UsageError("--date needs KIND:FROM:TO");
    const std::string kind = value.substr(0, first);
    if (kind == "modify")
        criteria.dateKind = DateKind::LastWrite;
    else if (kind == "create")
        criteria.dateKind = DateKind::Creation;
    else if (kind == "access")
        criteria.dateKind = DateKind::LastAccess;
    else
        throw UsageError("--date: the kind is modify, create or access, not '" + kind + "'");
    criteria.minDate = dateOption(value.substr(first + 1, second - first - 1));
    criteria.maxDate = dateOption(value.substr(second + 1));
    criteria.dateFilter = true;
}

// The column and direction of --sort.
std::pair<int, bool> readSort(const std::string& value)
{
    static const std::array<const char*, columnCount> names{"name", "folder", "size", "created", "modified", "type"};
    const auto colon = value.find(':');
    const std::string column = value.substr(0, colon);
    const std::string direction = colon == std::string::npos ? "asc" : value.substr(colon + 1);
    if (direction != "asc" && direction != "desc") throw UsageError("--sort: the direction is asc or desc");
    for (int c = 0; c < columnCount; ++c)
        if (column == names[static_cast<std::size_t>(c)]) return {c, direction == "asc"};
    throw UsageError("--sort: unknown column '" + column + "'");
}

// The ";"-separated folders of --folder in code page 936, without the ones
// whose code page 936 form would name another folder; those are refused by
// name through `host`.
std::string searchFolders(const std::string& utf8Folders, ConsoleHost& host, bool& refused)
{
    std::string folders;
    std::size_t begin = 0;
    while (begin <= utf8Folders.size()) {
        const std::size_t end = std::min(utf8Folders.find(';', begin), utf8Folders.size());
        const std::string item = utf8Folders.substr(begin, end - begin);
        if (const auto folder = toProgramName(item)) {
            if (!folders.empty()) folders += ';';
            folders += *folder;
        } else {
            host.refuseInConsoleText(unconvertibleNameMessage(item));
            refused = true;
        }
        begin = end + 1;
    }
    return folders;
}

// The list, one entry a line, cells separated by TAB, written in blocks;
// with `showEncoding` the name's encoding on disk after the six cells.
void printEntries(const FileList& files, std::ostream& out, bool showEncoding)
{
    constexpr std::size_t block = 1 << 16;
    std::string text;
    text.reserve(block + 4096);
    for (std::size_t row = 1; row <= files.entryCount(); ++row) {
        for (int c = 0; c < columnCount; ++c) {
            if (c) text += '\t';
            const std::string cell = files.cell(row, c);
            if (isAscii(cell))
                text += cell;
            else
                text += utf8Text(cell);
        }
        if (showEncoding) text.append("\t").append(encodingName(files.encoding(row)));
        text += '\n';
        if (text.size() >= block) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace

int runSearchCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    Workspace ws;
    // Every message goes to stderr, so stdout carries nothing but entries.
    ConsoleHost host(err, err);
    SearchCriteria criteria;
    bool foldersRefused = false;
    criteria.folders = searchFolders(options.given("folder").value_or(currentFolder()), host, foldersRefused);
    if (criteria.folders.empty() && foldersRefused) return 1;
    criteria.types = programText(options.given("types").value_or("*.txt"));
    criteria.subfolders = !options.flag("no-sub");
    if (const auto size = options.given("size")) {
        const auto colon = size->find(':');
        if (colon == std::string::npos) throw UsageError("--size needs MIN:MAX");
        const auto [low, high] = splitAt(*size, colon);
        criteria.sizeFilter = true;
        criteria.minSize = programText(low);
        criteria.maxSize = programText(high);
    }
    if (const auto date = options.given("date")) readDate(*date, criteria);
    const auto sort = options.given("sort");
    const std::pair<int, bool> order = sort ? readSort(*sort) : std::pair<int, bool>{-1, true};

    PosixFileSystem fs;
    cbSearchClick(ws, host, fs, criteria);
    if (host.refused() && !foldersRefused) return 1;
    if (order.first >= 0) sortFileList(ws.files, order.first, order.second);
    printEntries(ws.files, out, options.flag("show-encoding"));
    return foldersRefused ? 1 : 0;
}

} // namespace qv::cli
