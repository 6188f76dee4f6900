#include "fileops/new_name.h"

#include "fileops/change_plan.h"
#include "operation/workspace.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "text/output_path.h"

#include "filelist/file_list.h"

namespace qv {

std::string_view baseNameOf(std::string_view name)
{
    return name.substr(0, name.size() - typeOf(name).size());
}

std::optional<PlannedChange> planRename(const Workspace& ws, std::size_t row, const std::string& newName)
{
    if (newName == ws.files.name(row)) return std::nullopt;
    PlannedChange change;
    change.row = row;
    change.path = ws.files.fullPath(row);
    change.newName = newName;
    if (!text::isSafeNewName(newName))
        change.leftAlone =
            CodePage::gbk().fromUtf8("算出的新文件名为空、是“.”或“..”，或含有“/”，这样的名称会使文件离开所在目录");
    return change;
}

FsStatus applyRename(const PlannedChange& change, Workspace& ws, FileSystem& fs)
{
    const auto slash = change.path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : change.path.substr(0, slash);
    const FsStatus status = fs.renameNoReplace(change.path, joinPath(folder, change.newName));
    // Events processed during the run may have changed the list.
    if (status == FsStatus::Ok && ws.files.fullPath(change.row) == change.path)
        ws.files.setName(change.row, change.newName);
    return status;
}

} // namespace qv
