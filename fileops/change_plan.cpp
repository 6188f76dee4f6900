#include "fileops/change_plan.h"

#include "operation/host.h"
#include "operation/run_loop.h"
#include "platform/code_page.h"
#include "platform/disk_name.h"

#include <algorithm>
#include <set>

namespace qv {

std::string refusalReason(FsStatus status, std::string_view notSupported)
{
    const char* utf8 = "无法更改";
    switch (status) {
    case FsStatus::Ok: return {};
    case FsStatus::NotFound: utf8 = "文件不存在"; break;
    case FsStatus::AlreadyExists: utf8 = "目标文件已存在"; break;
    case FsStatus::ReadOnly: utf8 = "文件是只读的"; break;
    case FsStatus::IsDirectory: utf8 = "这是一个文件夹"; break;
    case FsStatus::NotSupported: return std::string(notSupported);
    case FsStatus::SymbolicLink: utf8 = "这是一个符号链接，符号链接本身不能记录属性和创建日期"; break;
    case FsStatus::InvalidName: utf8 = "文件名无法准确转换为 GBK 编码"; break;
    case FsStatus::NameTooLong: utf8 = "文件名过长"; break;
    case FsStatus::FolderIsLink: utf8 = "所在目录是一个符号链接，不经由符号链接更改文件"; break;
    case FsStatus::AccessDenied: utf8 = "没有权限"; break;
    case FsStatus::Failed: break;
    }
    return CodePage::gbk().fromUtf8(utf8);
}

std::string fileOpsClosingMessage(std::int64_t count)
{
    return CodePage::gbk().fromUtf8("成功处理文件总数量：") + counterText(count);
}

OperationResult applyChangePlan(const ChangePlan& plan, Workspace& ws, Host& host, const ApplyChange& apply,
                                std::string_view notSupported, const FolderStep& folderStep,
                                const AnnounceBatch& announce)
{
    OperationResult result;
    std::set<std::string> refusedFolders;
    const auto listFolderStep = [&](const PlannedChange& change) {
        if (!folderStep) return;
        const std::optional<FolderOutcome> outcome = folderStep(change);
        if (outcome && outcome->status != FsStatus::Ok && refusedFolders.insert(outcome->folder).second)
            result.skipped.push_back({shownPath(outcome->folder), refusalReason(outcome->status, notSupported)});
    };
    RunLoop run(ws, host, result, static_cast<std::int64_t>(plan.size()));
    std::size_t announcedUntil = 0;
    walkItems(plan, run, [&](const PlannedChange& change) {
        const auto index = static_cast<std::size_t>(&change - plan.data());
        if (announce && index == announcedUntil) {
            announcedUntil = std::min(plan.size(), index + changesPerBatch);
            announce(std::span<const PlannedChange>(plan).subspan(index, announcedUntil - index));
        }
        if (change.leftAlone()) {
            if (change.status != PlanStatus::Unchanged) run.skipped(change.path, change.reason);
        } else {
            if (const FsStatus status = apply(change); status == FsStatus::Ok)
                run.processed();
            else
                run.skipped(change.path, refusalReason(status, notSupported));
            listFolderStep(change);
        }
        run.advance();
    });
    showClosing(host, fileOpsClosingMessage(ws.counters.stChangeCount), result);
    return result;
}

FolderStep eachFileFolder(const FileList& files, FolderSpared spared,
                          std::function<FsStatus(const std::string& folder, const PlannedChange&)> changeFolder)
{
    return [&files, spared, changeFolder = std::move(changeFolder),
            sparedFolder = std::string()](const PlannedChange& change) mutable -> std::optional<FolderOutcome> {
        if (files.fullPath(change.row) != change.path || files.diskFolder(change.row) == sparedFolder)
            return std::nullopt;
        FolderOutcome outcome{std::string(files.diskFolder(change.row))};
        outcome.status = changeFolder(outcome.folder, change);
        if ((outcome.status == FsStatus::Ok) == (spared == FolderSpared::AfterSuccess)) sparedFolder = outcome.folder;
        return outcome;
    };
}

} // namespace qv
