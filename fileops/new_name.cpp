#include "fileops/new_name.h"

#include "fileops/change_plan.h"
#include "operation/workspace.h"
#include "platform/code_page.h"
#include "platform/disk_name.h"
#include "platform/file_system.h"

#include "filelist/file_list.h"

namespace qv {

std::string_view baseNameOf(std::string_view name)
{
    return name.substr(0, name.size() - typeOf(name).size());
}

bool isSafeNewName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

std::optional<PlannedChange> planRename(const Workspace& ws, std::size_t row, const std::string& newName, bool toUtf8)
{
    const bool sameText = newName == ws.files.name(row);
    const bool recode = toUtf8 && ws.files.encoding(row) == NameEncoding::Gbk;
    if (sameText && !recode) return std::nullopt;
    PlannedChange change;
    change.row = row;
    change.path = ws.files.fullPath(row);
    change.newName = newName;
    change.recodesOnly = sameText;
    if (!isSafeNewName(newName))
        change.leftAlone =
            CodePage::gbk().fromUtf8("算出的新文件名为空、是“.”或“..”，或含有“/”，这样的名称会使文件离开所在目录");
    else if (!utf8DiskForm(newName))
        change.leftAlone = CodePage::gbk().fromUtf8("算出的新文件名含有无法以UTF-8编码写出的字节");
    return change;
}

FsStatus applyRename(const PlannedChange& change, Workspace& ws, FileSystem& fs)
{
    const FsStatus status = fs.renameNoReplace(change.path, diskPathBeside(change.path, change.newName));
    // Events processed during the run may have changed the list.
    if (status == FsStatus::Ok && ws.files.fullPath(change.row) == change.path)
        ws.files.setName(change.row, change.newName);
    return status;
}

} // namespace qv
