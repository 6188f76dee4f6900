#pragma once
// Change dates: sets the last-write, creation and last-access times of every
// marked file, or only the time of day of all three, and optionally of the
// folder that holds it.
//
// Times are local wall-clock times under one UTC offset taken when the run
// starts, the same rule the list's time cells follow. Cost: one stat and one
// setTimes per marked row, plus the same for a folder when asked.

#include "filelist/entry_time.h"
#include "fileops/change_plan.h"
#include "fileops/local_time.h"
#include "operation/operation.h"
#include "operation/workspace.h"
#include "platform/clock.h"
#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace qv {

class Host;

// What the date page's controls hold.
struct DateParams {
    bool ckModify = false; // change the last-write date to dtModify
    CalendarDate dtModify;
    bool ckCreate = false; // change the creation date to dtCreate
    CalendarDate dtCreate;
    bool ckAccess = false; // change the last-access date to dtAccess
    CalendarDate dtAccess;
    bool chkTime = false; // set the time of day to dtpTime
    TimeOfDay dtpTime;
    bool chkDirDate = false; // also the folder of each file
};

// The per-item step. For each ticked date box, in the order last-write,
// creation, last-access: the box's date at the time of day of dtpTime when
// chkTime is ticked, otherwise at the item's own time of day of that kind,
// to the whole second. With no date box ticked and chkTime ticked, all three
// times keep their local dates and take dtpTime's time of day, milliseconds
// included. Only the times so computed are written.
// `isFolder` false refuses a folder (IsDirectory). Gives Ok when the times
// were written, otherwise why not: the platform's refusal (ReadOnly for a
// read-only file, NotSupported when a creation time cannot be stored),
// NotFound, or Failed when nothing was ticked or a time falls outside the
// representable range.
FsStatus SetFileTimes(std::string_view path, bool isFolder, const DateParams& params, FileSystem& fs,
                      std::int64_t utcOffset);

// The planning half of SetFileTimes: the times it would write, in `change`,
// when it gives Ok; nothing is written.
FsStatus planFileTimes(std::string_view path, bool isFolder, const DateParams& params, const FileSystem& fs,
                       std::int64_t utcOffset, TimeChange& change);

// The check below ("请选择新的日期或时间！"), or nothing when it passes.
std::optional<Refusal> checkDateParams(const DateParams& params);

// The plan btnDateClick applies: one change per marked row, in display
// order, with the times planFileTimes gives, or left alone (Skipped) with
// the reason: missing, a folder, read-only, a symbolic link when a creation
// time is asked for, no permission. Reads the entries; changes nothing.
ChangePlan planDateRun(const DateParams& params, const FileList& files, const FileSystem& fs, std::int64_t utcOffset);

// Runs the date change over the marked entries in display order. Refuses,
// with nothing changed, when the selection check fails or no box of the
// four is ticked ("请选择新的日期或时间！"). Sets stChangeCount to 0 and
// raises it for each file whose times were written; then rewrites the
// modified cell (ckModify) and the created cell (ckCreate) in
// "yyyy-mm-dd hh:nn:ss": the new date with dtpTime's time of day, or with
// the time part the cell showed (the text after its first space). With
// chkDirDate the file's folder is changed too, but not counted; a folder
// that refused is not tried again while the following files lie in it.
// Files whose creation time the file system cannot store are not counted
// and reported once at the end. Ends with the closing message.
// Throws qv::RunError "'<text>' is not a valid time" when a cell's time part
// does not read; the files changed before stay changed and counted.
OperationResult btnDateClick(const DateParams& params, Workspace& ws, Host& host, FileSystem& fs,
                             std::int64_t utcOffset = currentUtcOffset());

} // namespace qv
