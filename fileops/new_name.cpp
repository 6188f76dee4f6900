#include "fileops/new_name.h"

#include "filelist/workspace.h"
#include "platform/file_system.h"

#include "filelist/file_list.h"

namespace qv {

std::string_view baseNameOf(std::string_view name) { return name.substr(0, name.size() - typeOf(name).size()); }

bool isSafeNewName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

RenameOutcome renameRow(Workspace& ws, FileSystem& fs, std::size_t row, const std::string& newName)
{
    const std::string_view folder = ws.files.folder(row);
    const std::string oldPath = ws.files.fullPath(row);
    const std::string newPath = joinPath(folder, newName);
    if (newPath == oldPath) return RenameOutcome::Unchanged;
    if (!isSafeNewName(newName)) return RenameOutcome::UnsafeName;
    if (fs.renameNoReplace(oldPath, newPath) != FsStatus::Ok) return RenameOutcome::Refused;
    ws.files.setName(row, newName);
    ++ws.counters.stChangeCount;
    return RenameOutcome::Renamed;
}

} // namespace qv
