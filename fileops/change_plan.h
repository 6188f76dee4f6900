#pragma once
// The frame the four file operations (rename, change extension, dates,
// attributes) share: a run first plans every marked file's change, then
// applies the plan in display order.
//
// The plan says, for each marked file, what will change (its new name, its
// new times or attribute bits) or why it will be left alone; nothing on disk
// is touched while planning, so a plan can be shown before it is applied.
// Applying asks the file system for each change in turn, counts the files
// changed in stChangeCount, collects those left alone with the reason, and
// ends with "成功处理文件总数量：N" followed, when files were left alone, by
// "N 个文件未处理" and the list behind it. Between files it processes events,
// reports progress and stops when the user asks: what was changed stays.

#include "operation/operation.h"
#include "operation/workspace.h"
#include "platform/file_system.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv {

class Host;

struct PlannedChange {
    std::size_t row = 0;
    std::string path;                     // the entry's full path as written on disk
    std::string newName;                  // rename, change extension: the name it gets (code page 936)
    bool recodesOnly = false;             // rename: the name keeps its text, written in UTF-8 from now on
    TimeChange times;                     // dates: the times it gets
    std::uint32_t attributes = 0;         // attributes: the bits it gets
    std::optional<std::string> leftAlone; // why it will not be changed (code page 936)
};
using ChangePlan = std::vector<PlannedChange>;

// Makes one planned change on disk and in the file list: Ok when done,
// otherwise the file system's reason.
using ApplyChange = std::function<FsStatus(const PlannedChange&)>;

// Applies `plan` as described at the top. `notSupported` is the reason
// shown for a file whose file system cannot store the change.
OperationResult applyChangePlan(const ChangePlan& plan, Workspace& ws, Host& host, const ApplyChange& apply,
                                std::string_view notSupported);

// The reason text (code page 936) for a change the file system refused.
std::string refusalReason(FsStatus status, std::string_view notSupported);

// "成功处理文件总数量：" followed by the count, code page 936.
std::string fileOpsClosingMessage(std::int64_t count);

} // namespace qv
