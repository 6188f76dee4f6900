#pragma once
// The list commands of the button row: add chosen files, export the marked
// entries' names or folders, delete the marked entries' files.

#include "filelist/file_list.h"
#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv {

class FileSystem;
class Host;
struct Workspace;

// Adds the files at `paths` (disk paths: the raw bytes a file dialog or a
// command line gives, "/" separated), in order, to the end of the list,
// raising stSrcCount by one for each. A path that does not exist, or whose
// entry carries an attribute bit outside the file attribute set (a symbolic
// link, for example), is skipped silently. A path with an element that has no
// exact text (see decodeDiskName) is skipped and counted, and the count told
// afterwards as the search tells it (skippedNamesMessage). The folder cell is
// the path up to its last "/", that "/" left out ("/a.txt" gives ""); a path
// without "/" gets the folder "." so that its full path still names the same
// file. The entry keeps the path's bytes as its disk form. A file added twice
// is listed twice. New rows start unmarked.
// Processes events once per file.
void btnAddClick(Workspace& ws, Host& host, const FileSystem& fs, const std::vector<std::string>& paths);

// The entry of one disk path as the add command makes it (folder and name
// split at the last "/" and shown as their text, disk forms kept, size and
// times zero); nothing, with the fault, when an element has no text.
std::optional<ListEntry> entryOfDiskPath(const std::string& path, NameFault* fault = nullptr);

// Appends `entry` with the size and times of `found` (zero without it) and
// raises stSrcCount; the new row starts unmarked.
void appendPathEntry(Workspace& ws, ListEntry entry, const std::optional<FileEntry>& found, std::int64_t utcOffset);

// The information the search and the add command give for names left out,
// code page 936, a line per kind: "有 N 个文件或目录的名称无法以GBK编码表示，
// 已跳过。" and "有 N 个文件或目录的名称既不是UTF-8编码也不是GBK编码，已跳过。";
// "" when both counts are 0.
std::string skippedNamesMessage(std::size_t noGbkForm, std::size_t neitherEncoding);

// Exports the marked entries' names: after the selection check, asks
// "导出文件名称时，是否包含文件目录？" (Yes: full paths, No: names only),
// asks the host for a save path (text, written in UTF-8 on disk) and writes
// (through `fs`) one item per line, each followed by CR LF, the texts as
// they stand (code page 936, as shown). Reports "文件名称导出成功,导出总数量：N".
// A cancelled save writes nothing and says nothing. A file that cannot be
// written throws RunError "Cannot create file <path>"; an earlier file of
// that name is then left as it was.
void btnExpClick(Workspace& ws, Host& host, FileSystem& fs);

// Exports the marked entries' distinct folders the same way, no question
// asked: a folder equal to one already collected, ASCII letters compared
// without regard to case, is left out (the text met first is written).
// Reports "文件目录导出成功,导出总数量：N". Cost: O(N) with a hash set.
void btnExpDirClick(Workspace& ws, Host& host, FileSystem& fs);

// Deletes the marked entries' files: after the selection check, asks
// "此操作将从磁盘上删除此文件且不可恢复,确认要删除吗?" (No preselected, so
// Enter keeps the files) and on Yes walks the
// rows from the last up to row 1, processing events before each. For each
// marked row it deletes the file at the full path; a refused delete
// (read-only, missing, a folder) leaves the row and its mark. A deleted
// file's row is removed as the remove command does, stSrcCount goes down by
// one and stDeleteCount is set to the number deleted so far, so a run that
// deletes nothing leaves it alone. A symbolic link is deleted itself, never
// its target. A removed row takes its mark with it, so the rows that move
// up keep their own. The whole walk costs
// O(rows) besides the deletes themselves (see FileList::removeRow).
void cbDelClick(Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
