#include "fileops/new_name.h"

#include "filelist/file_list.h"
#include "platform/code_page.h"
#include "platform/disk_name.h"
#include "text/output_path.h"

namespace qv {

std::string_view baseNameOf(std::string_view name)
{
    return name.substr(0, name.size() - typeOf(name).size());
}

std::optional<std::string> invalidNameReason(std::string_view name)
{
    if (!text::isSafeNewName(name))
        return CodePage::gbk().fromUtf8("算出的新文件名为空、是“.”或“..”，或含有“/”，这样的名称会使文件离开所在目录");
    const std::optional<std::string> onDisk = utf8DiskForm(name);
    if (!onDisk) return CodePage::gbk().fromUtf8("算出的新文件名含有无法以UTF-8编码写出的字节");
    if (onDisk->size() > longestDiskName)
        return CodePage::gbk().fromUtf8("算出的新文件名超过 255 字节，文件系统不接受这样长的名称");
    return std::nullopt;
}

PlannedChange planRename(const FileList& files, std::size_t row, const std::string& newName, bool toUtf8)
{
    PlannedChange change;
    change.row = row;
    change.path = files.fullPath(row);
    change.newName = newName;
    const bool sameText = newName == files.name(row);
    if (sameText && toUtf8 && files.encoding(row) == NameEncoding::Gbk)
        change.leaveAlone(PlanStatus::Recode, CodePage::gbk().fromUtf8("文件名编码将转换为 UTF-8"));
    else if (sameText)
        change.leaveAlone(PlanStatus::Unchanged, CodePage::gbk().fromUtf8("新文件名与原文件名相同"));
    else if (auto reason = invalidNameReason(newName))
        change.leaveAlone(PlanStatus::Invalid, std::move(*reason));
    return change;
}

} // namespace qv
