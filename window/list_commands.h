#pragma once
// The list commands of the button row: add chosen files, export the marked
// entries' names or folders, delete the marked entries' files.

#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv {

class FileSystem;
class Host;
struct Workspace;

// Adds the files at `paths` (code page 936, "/" separated), in order, to
// the end of the list, raising stSrcCount by one for each. A path that does
// not exist, or whose entry carries an attribute bit outside the file
// attribute set (a symbolic link, for example), is skipped silently. The
// folder cell is the path up to its last "/", that "/" left out ("/a.txt"
// gives ""); a path without "/" gets the folder "." so that its full path
// still names the same file. A file added twice is listed twice. New rows
// start unmarked. Processes events once per file.
void btnAddClick(Workspace& ws, Host& host, const FileSystem& fs, const std::vector<std::string>& paths);

// Appends the entry of one path as the add command does (folder and name
// split at the last "/", size and times from `found`, zero without it) and
// raises stSrcCount; the new row starts unmarked.
void appendPathEntry(Workspace& ws, const std::string& path, const std::optional<FileEntry>& found,
                     std::int64_t utcOffset);

// Exports the marked entries' names: after the selection check, asks
// "导出文件名称时，是否包含文件目录？" (Yes: full paths, No: names only),
// asks the host for a save path and writes (through `fs`) one item per line, each followed
// by CR LF, bytes as they stand. Reports "文件名称导出成功,导出总数量：N".
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
