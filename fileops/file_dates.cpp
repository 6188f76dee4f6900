#include "fileops/file_dates.h"

#include "fileops/change_plan.h"
#include "operation/host.h"
#include "platform/code_page.h"
#include "text/bytes.h"

#include <optional>

namespace qv {
namespace {

// One ticked date box: the new time at `date`, at dtpTime's time of day or
// at the current time's own, whole seconds. Nothing when out of range.
std::optional<FileTime> datedTime(const CalendarDate& date, FileTime current, const DateParams& params,
                                  std::int64_t utcOffset)
{
    const auto midnight = localMidnight(date);
    if (!midnight) return std::nullopt;
    TimeOfDay time = params.chkTime ? params.dtpTime : timeOfDayOf(toLocalMilliseconds(current, utcOffset));
    time.millisecond = 0;
    return fromLocalMilliseconds(*midnight + millisecondsOf(time), utcOffset);
}

// `current` on its own local date at dtpTime's time of day, milliseconds
// included.
std::optional<FileTime> retimed(FileTime current, const TimeOfDay& time, std::int64_t utcOffset)
{
    const std::int64_t local = toLocalMilliseconds(current, utcOffset);
    const std::int64_t midnight = local - millisecondsOf(timeOfDayOf(local));
    return fromLocalMilliseconds(midnight + millisecondsOf(time), utcOffset);
}

// The new cell value, local seconds since 1970: `date` at dtpTime's time of
// day, or at the time part of the cell's text.
std::int64_t cellValue(const CalendarDate& date, const std::string& cellText, const DateParams& params)
{
    TimeOfDay time = params.dtpTime;
    if (!params.chkTime) {
        // Without a space the whole text is taken, which does not read as a time.
        const auto space = cellText.find(' ');
        time = parseTimeOfDay(space == std::string::npos ? std::string_view(cellText)
                                                         : std::string_view(cellText).substr(space + 1));
    }
    time.millisecond = 0;
    // The date was good enough for SetFileTimes to succeed.
    return (localMidnight(date).value_or(0) + millisecondsOf(time)) / 1000;
}

std::string creationNotStored()
{
    return CodePage::gbk().fromUtf8("所在的文件系统不能保存扩展属性 user.DOSATTRIB，无法记录创建日期");
}

// Why setTimes would refuse `path`, seen before asking it.
FsStatus predictedRefusal(const std::string& path, const TimeChange& times, const FileSystem& fs)
{
    const auto entry = fs.stat(path);
    if (!entry) return FsStatus::NotFound;
    if ((entry->attributes & attr::readOnly) && !(entry->attributes & attr::directory)) return FsStatus::ReadOnly;
    if (times.creation && (entry->attributes & attr::reparsePoint)) return FsStatus::SymbolicLink;
    if (!fs.mayChangeMetadata(path)) return FsStatus::AccessDenied;
    return FsStatus::Ok;
}

} // namespace

std::optional<Refusal> checkDateParams(const DateParams& params)
{
    if (!params.ckAccess && !params.ckModify && !params.ckCreate && !params.chkTime)
        return Refusal{CodePage::gbk().fromUtf8("请选择新的日期或时间！"), ""};
    return std::nullopt;
}

ChangePlan planDateRun(const DateParams& params, const FileList& files, const FileSystem& fs, std::int64_t utcOffset)
{
    ChangePlan plan;
    forEachMarkedRow(files, [&](std::size_t row) {
        PlannedChange change;
        change.row = row;
        change.path = files.fullPath(row);
        FsStatus planned = planFileTimes(change.path, false, params, fs, utcOffset, change.times);
        if (planned == FsStatus::Ok) planned = predictedRefusal(change.path, change.times, fs);
        if (planned != FsStatus::Ok)
            change.leaveAlone(PlanStatus::Skipped, refusalReason(planned, creationNotStored()));
        plan.push_back(std::move(change));
    });
    return plan;
}

FsStatus planFileTimes(std::string_view path, bool isFolder, const DateParams& params, const FileSystem& fs,
                       std::int64_t utcOffset, TimeChange& change)
{
    const auto entry = fs.stat(path);
    if (!entry) return FsStatus::NotFound;
    if (!isFolder && (entry->attributes & attr::directory)) return FsStatus::IsDirectory;

    change = {};
    bool inRange = true;
    const auto set = [&](std::optional<FileTime>& slot, std::optional<FileTime> value) {
        inRange = inRange && value.has_value();
        slot = value;
    };
    if (params.ckModify) set(change.lastWrite, datedTime(params.dtModify, entry->lastWriteTime, params, utcOffset));
    if (params.ckCreate) set(change.creation, datedTime(params.dtCreate, entry->creationTime, params, utcOffset));
    if (params.ckAccess) set(change.lastAccess, datedTime(params.dtAccess, entry->lastAccessTime, params, utcOffset));
    if (!params.ckModify && !params.ckCreate && !params.ckAccess && params.chkTime) {
        set(change.creation, retimed(entry->creationTime, params.dtpTime, utcOffset));
        set(change.lastAccess, retimed(entry->lastAccessTime, params.dtpTime, utcOffset));
        set(change.lastWrite, retimed(entry->lastWriteTime, params.dtpTime, utcOffset));
    }
    if (!inRange || (!change.creation && !change.lastWrite && !change.lastAccess)) return FsStatus::Failed;
    return FsStatus::Ok;
}

FsStatus SetFileTimes(std::string_view path, bool isFolder, const DateParams& params, FileSystem& fs,
                      std::int64_t utcOffset)
{
    TimeChange change;
    const FsStatus planned = planFileTimes(path, isFolder, params, fs, utcOffset, change);
    return planned == FsStatus::Ok ? fs.setTimes(path, change) : planned;
}

OperationResult btnDateClick(const DateParams& params, Workspace& ws, Host& host, FileSystem& fs,
                             std::int64_t utcOffset)
{
    if (!selectionCheck(ws, host)) return {};
    if (auto refusal = checkDateParams(params)) return refuse(host, std::move(*refusal));

    ChangePlan plan = planDateRun(params, ws.files, fs, utcOffset);

    const auto apply = [&](const PlannedChange& change) {
        const FsStatus status = fs.setTimes(change.path, change.times);
        if (status == FsStatus::Ok && ws.files.fullPath(change.row) == change.path) {
            if (params.ckModify)
                ws.files.setModified(change.row,
                                     cellValue(params.dtModify, ws.files.cell(change.row, ModifiedColumn), params));
            if (params.ckCreate)
                ws.files.setCreated(change.row,
                                    cellValue(params.dtCreate, ws.files.cell(change.row, CreatedColumn), params));
        }
        return status;
    };
    // A folder that took the change gets it again for the next file in it,
    // which changes nothing further.
    FolderStep folderStep;
    if (params.chkDirDate)
        folderStep =
            eachFileFolder(ws.files, FolderSpared::AfterRefusal, [&](const std::string& folder, const PlannedChange&) {
                return SetFileTimes(folder, true, params, fs, utcOffset);
            });
    const auto announce = [&](std::span<const PlannedChange> batch) {
        for (const PlannedChange& change : batch)
            if (!change.leftAlone()) fs.willChangeTimes(change.path, change.times.creation.has_value());
        fs.prepareChanges();
    };
    return applyChangePlan(plan, ws, host, apply, creationNotStored(), folderStep, announce);
}

} // namespace qv
