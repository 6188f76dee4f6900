#include "fileops/file_attributes.h"

#include "fileops/change_plan.h"
#include "operation/host.h"
#include "platform/code_page.h"

#include <string>

namespace qv {

namespace {

std::string attributesNotStored()
{
    return CodePage::gbk().fromUtf8(
        "所在的文件系统不能保存扩展属性 user.DOSATTRIB，无法记录存档、系统、隐藏和只读属性");
}

} // namespace

std::optional<Refusal> checkAttributeParams(const AttributeParams& params)
{
    if (attributeValue(params) == 0) return Refusal{CodePage::gbk().fromUtf8("请选择新的属性！"), ""};
    return std::nullopt;
}

ChangePlan planPropRun(const AttributeParams& params, const FileList& files, const FileSystem& fs)
{
    ChangePlan plan;
    forEachMarkedRow(files, [&](std::size_t row) {
        PlannedChange change;
        change.row = row;
        change.path = files.fullPath(row);
        change.attributes = attributeValue(params);
        FsStatus refused = FsStatus::Ok;
        if (const auto entry = fs.stat(change.path); !entry)
            refused = FsStatus::NotFound;
        else if (entry->attributes & attr::reparsePoint)
            refused = FsStatus::SymbolicLink;
        else if (!fs.mayChangeMetadata(change.path))
            refused = FsStatus::AccessDenied;
        else
            change.attributesBefore = entry->attributes;
        if (refused != FsStatus::Ok)
            change.leaveAlone(PlanStatus::Skipped, refusalReason(refused, attributesNotStored()));
        plan.push_back(std::move(change));
    });
    return plan;
}

std::uint32_t attributeValue(const AttributeParams& params)
{
    return (params.ckNormal ? attr::archive : 0) | (params.ckSystem ? attr::system : 0) |
           (params.ckReadonly ? attr::readOnly : 0) | (params.ckHidden ? attr::hidden : 0);
}

OperationResult btnPropClick(const AttributeParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return {};
    if (auto refusal = checkAttributeParams(params)) return refuse(host, std::move(*refusal));

    const ChangePlan plan = planPropRun(params, ws.files, fs);
    const auto apply = [&](const PlannedChange& change) { return fs.setAttributes(change.path, change.attributes); };
    FolderStep folderStep;
    if (params.chkDirProp)
        folderStep = eachFileFolder(ws.files, FolderSpared::AfterSuccess,
                                    [&](const std::string& folder, const PlannedChange& change) {
                                        return fs.setAttributes(folder, change.attributes);
                                    });
    const auto announce = [&](std::span<const PlannedChange> batch) {
        for (const PlannedChange& change : batch)
            if (!change.leftAlone()) fs.willChangeAttributes(change.path);
        fs.prepareChanges();
    };
    return applyChangePlan(plan, ws, host, apply, attributesNotStored(), folderStep, announce);
}

} // namespace qv
