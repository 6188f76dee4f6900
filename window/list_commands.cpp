#include "window/list_commands.h"

#include "filelist/entry_time.h"
#include "operation/host.h"
#include "operation/operation.h"
#include "operation/workspace.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "text/bytes.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <unordered_set>

namespace qv {
namespace {

constexpr std::uint32_t fileAttributeSet = 0x20BF;

std::int64_t toLocal(FileTime t, std::int64_t utcOffset)
{
    return toLocalSeconds(std::chrono::floor<std::chrono::seconds>(t).time_since_epoch().count(), utcOffset);
}

std::string folderOf(const std::string& path)
{
    // "/" (0x2F) is never the second byte of a code page 936 character.
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string exportText(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items) out.append(item).append("\r\n");
    return out;
}

// Writes the items to a path the user chooses and reports how many, with
// `done` (UTF-8) before the number. Nothing happens for no items.
void saveExport(Host& host, FileSystem& fs, const std::vector<std::string>& items, const char* done)
{
    if (items.empty()) return;
    const std::optional<std::string> path = host.chooseSavePath("");
    if (!path) return;
    fs.writeFile(*path, exportText(items));
    host.showMessage(MessageKind::Information, CodePage::gbk().fromUtf8(done + std::to_string(items.size())));
}

} // namespace

void appendPathEntry(Workspace& ws, const std::string& path, const std::optional<FileEntry>& found,
                     std::int64_t utcOffset)
{
    ListEntry entry;
    entry.folder = folderOf(path);
    entry.name = path.substr(path.rfind('/') + 1);
    if (found) {
        entry.size =
            static_cast<std::int64_t>(std::min<std::uint64_t>(found->size, std::numeric_limits<std::int64_t>::max()));
        entry.created = toLocal(found->creationTime, utcOffset);
        entry.modified = toLocal(found->lastWriteTime, utcOffset);
    }
    ws.files.append(entry);
    ws.counters.stSrcCount += 1;
}

void btnAddClick(Workspace& ws, Host& host, const FileSystem& fs, const std::vector<std::string>& paths)
{
    const std::int64_t utcOffset = currentUtcOffset();
    for (const std::string& path : paths) {
        const std::optional<FileEntry> found = fs.stat(path);
        if (!found || found->name.empty()) continue;
        host.processEvents();
        if ((found->attributes & fileAttributeSet) != found->attributes) continue;
        appendPathEntry(ws, path, found, utcOffset);
    }
}

void btnExpClick(Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return;
    const bool withFolder = host.ask(CodePage::gbk().fromUtf8("导出文件名称时，是否包含文件目录？"));
    std::vector<std::string> items;
    forEachMarkedRow(ws.files, [&](std::size_t row) {
        items.push_back(withFolder ? ws.files.fullPath(row) : std::string(ws.files.name(row)));
    });
    saveExport(host, fs, items, "文件名称导出成功,导出总数量：");
}

void btnExpDirClick(Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return;
    std::vector<std::string> items;
    std::unordered_set<std::string> seen;
    forEachMarkedRow(ws.files, [&](std::size_t row) {
        const std::string_view folder = ws.files.folder(row);
        if (seen.insert(text::lower(folder)).second) items.emplace_back(folder);
    });
    saveExport(host, fs, items, "文件目录导出成功,导出总数量：");
}

void cbDelClick(Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return;
    if (!host.askDefaultNo(CodePage::gbk().fromUtf8("此操作将从磁盘上删除此文件且不可恢复,确认要删除吗?"))) return;
    std::int64_t count = 0;
    const std::int64_t total = markedCount(ws.files);
    std::int64_t visited = 0;
    for (std::size_t row = ws.files.lastRow(); row >= 1; --row) {
        host.processEvents();
        // The user may stop between two files; those deleted stay deleted.
        if (host.stopRequested()) break;
        // Events may have changed the list: re-read its size and the mark,
        // and never take the placeholder row for a file.
        if (ws.files.isEmpty()) break;
        if (row > ws.files.lastRow() || !ws.files.isMarked(row)) continue;
        host.reportProgress(++visited, total);
        if (fs.remove(ws.files.fullPath(row)) != FsStatus::Ok) continue;
        ws.files.removeRow(row);
        ws.counters.stSrcCount -= 1;
        ws.counters.stDeleteCount = ++count;
    }
}

} // namespace qv
