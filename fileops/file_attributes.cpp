#include "fileops/file_attributes.h"

#include "fileops/change_plan.h"
#include "operation/host.h"
#include "platform/code_page.h"

#include <string>

namespace qv {

std::uint32_t attributeValue(const AttributeParams& params)
{
    return (params.ckNormal ? attr::archive : 0) | (params.ckSystem ? attr::system : 0) |
           (params.ckReadonly ? attr::readOnly : 0) | (params.ckHidden ? attr::hidden : 0);
}

OperationResult btnPropClick(const AttributeParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return {};
    const std::uint32_t attributes = attributeValue(params);
    if (attributes == 0) return refuse(host, {CodePage::gbk().fromUtf8("请选择新的属性！"), ""});

    ChangePlan plan;
    forEachMarkedRow(ws.files, [&](std::size_t row) {
        PlannedChange change;
        change.row = row;
        change.path = ws.files.fullPath(row);
        change.attributes = attributes;
        plan.push_back(std::move(change));
    });
    std::string lastFolder;
    const auto apply = [&](const PlannedChange& change) {
        const FsStatus status = fs.setAttributes(change.path, change.attributes);
        if (params.chkDirProp && ws.files.fullPath(change.row) == change.path &&
            ws.files.diskFolder(change.row) != lastFolder) {
            const std::string folder(ws.files.diskFolder(change.row));
            if (fs.setAttributes(folder, change.attributes) == FsStatus::Ok) lastFolder = folder;
        }
        return status;
    };
    return applyChangePlan(
        plan, ws, host, apply,
        CodePage::gbk().fromUtf8("所在的文件系统不能保存扩展属性 user.DOSATTRIB，无法记录存档、系统、隐藏和只读属性"));
}

} // namespace qv
