#include "window/list_commands.h"

#include "filelist/entry_time.h"
#include "operation/host.h"
#include "operation/operation.h"
#include "operation/workspace.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/disk_name.h"
#include "platform/file_system.h"
#include "text/bytes.h"
#include "text/run_error.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <unordered_set>

namespace qv {
namespace {

constexpr std::uint32_t fileAttributeSet = 0x20BF;

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
    const std::optional<std::string> disk = utf8DiskForm(*path);
    if (!disk) throw RunError(formatMessage("Cannot create file %s", *path));
    fs.writeFile(*disk, exportText(items));
    host.showMessage(MessageKind::Information, CodePage::gbk().fromUtf8(done + std::to_string(items.size())));
}

} // namespace

std::optional<ListEntry> entryOfDiskPath(const std::string& path, NameFault* fault)
{
    const auto name = decodeDiskName(path.substr(path.rfind('/') + 1), fault);
    if (!name) return std::nullopt;
    const std::string diskFolder = folderOf(path);
    auto folder = textOfDiskPath(diskFolder, fault);
    if (!folder) return std::nullopt;
    ListEntry entry;
    entry.name = name->text;
    entry.encoding = name->encoding;
    entry.folder = std::move(*folder);
    entry.diskFolder = diskFolder;
    return entry;
}

std::string skippedNamesMessage(std::size_t noGbkForm, std::size_t neitherEncoding)
{
    std::string utf8;
    if (noGbkForm > 0) utf8 += "有 " + std::to_string(noGbkForm) + " 个文件或目录的名称无法以GBK编码表示，已跳过。";
    if (neitherEncoding > 0) {
        if (!utf8.empty()) utf8 += "\n";
        utf8 += "有 " + std::to_string(neitherEncoding) + " 个文件或目录的名称既不是UTF-8编码也不是GBK编码，已跳过。";
    }
    return utf8.empty() ? std::string() : CodePage::gbk().fromUtf8(utf8);
}

void appendPathEntry(Workspace& ws, ListEntry entry, const std::optional<FileEntry>& found, std::int64_t utcOffset)
{
    if (found) {
        entry.size =
            static_cast<std::int64_t>(std::min<std::uint64_t>(found->size, std::numeric_limits<std::int64_t>::max()));
        entry.created = toLocalSeconds(found->creationTime, utcOffset);
        entry.modified = toLocalSeconds(found->lastWriteTime, utcOffset);
    }
    ws.files.append(entry);
    ws.counters.stSrcCount += 1;
}

void btnAddClick(Workspace& ws, Host& host, const FileSystem& fs, const std::vector<std::string>& paths)
{
    const std::int64_t utcOffset = currentUtcOffset();
    std::size_t noGbkForm = 0, neitherEncoding = 0;
    for (const std::string& path : paths) {
        const std::optional<FileEntry> found = fs.stat(path);
        if (!found || found->name.empty()) continue;
        host.processEvents();
        if ((found->attributes & fileAttributeSet) != found->attributes) continue;
        NameFault fault = NameFault::NeitherEncoding;
        auto entry = entryOfDiskPath(path, &fault);
        if (!entry) {
            ++(fault == NameFault::NoGbkForm ? noGbkForm : neitherEncoding);
            continue;
        }
        appendPathEntry(ws, std::move(*entry), found, utcOffset);
    }
    const std::string skipped = skippedNamesMessage(noGbkForm, neitherEncoding);
    if (!skipped.empty()) host.showMessage(MessageKind::Information, skipped);
}

void btnExpClick(Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return;
    const bool withFolder = host.ask(CodePage::gbk().fromUtf8("导出文件名称时，是否包含文件目录？"));
    std::vector<std::string> items;
    forEachMarkedRow(ws.files, [&](std::size_t row) {
        items.push_back(withFolder ? ws.files.shownPath(row) : std::string(ws.files.name(row)));
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
