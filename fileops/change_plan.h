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
#include "operation/run_loop.h"
#include "operation/workspace.h"
#include "platform/file_system.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qv {

class Host;

// What the plan says of one marked file.
enum class PlanStatus : std::uint8_t {
    Ok,        // it will be changed
    Unchanged, // the change leaves it as it is (same name; no line of a name list)
    Exists,    // the new name is taken by a file that stays where it is
    Duplicate, // an earlier file of the run gets the same new name
    Chain,     // the new name belongs to a file of the run that moves away later
    Invalid,   // the new name is no valid file name here
    Recode,    // only the encoding of the name on disk changes
    Skipped,   // left alone for the reason given
};

struct PlannedChange {
    std::size_t row = 0;
    std::string path;                   // the entry's full path as written on disk
    std::string newName;                // rename, change extension: the name it gets (code page 936)
    TimeChange times;                   // dates: the times it gets
    std::uint32_t attributes = 0;       // attributes: the bits it gets
    std::uint32_t attributesBefore = 0; // attributes: the bits it has
    PlanStatus status = PlanStatus::Ok;
    std::string reason; // why it will not be changed (code page 936); empty when it will

    // True when the run changes nothing of this file.
    bool leftAlone() const { return status != PlanStatus::Ok && status != PlanStatus::Recode; }
    void leaveAlone(PlanStatus why, std::string text)
    {
        status = why;
        reason = std::move(text);
    }
};
using ChangePlan = std::vector<PlannedChange>;

// Makes one planned change on disk and in the file list: Ok when done,
// otherwise the file system's reason.
using ApplyChange = std::function<FsStatus(const PlannedChange&)>;

// The folder step of a dates or attributes run, after the change of one
// file: the folder it changed too and the outcome; nothing when it tried
// none.
struct FolderOutcome {
    std::string folder;
    FsStatus status = FsStatus::Ok;
};
using FolderStep = std::function<std::optional<FolderOutcome>(const PlannedChange&)>;

// Which outcome of a folder's change spares the folder for the next files in it.
enum class FolderSpared {
    AfterSuccess, // a folder that took the change is not tried again
    AfterRefusal, // a folder that refused is not tried again; one that took it gets it again
};

// The folder step that gives the folder of each listed file that changed
// (FileList::diskFolder) the same change through `changeFolder`, sparing it
// for the next files in it as `spared` says. A change on another path than
// the row's listed file changes no folder.
FolderStep eachFileFolder(const FileList& files, FolderSpared spared,
                          std::function<FsStatus(const std::string& folder, const PlannedChange&)> changeFolder);

// Applies `plan` as described at the top. A file left alone as Unchanged is
// not reported; any other is listed with its reason. `notSupported` is the reason
// shown for a file whose file system cannot store the change. With
// `folderStep`, called after each change made, a folder that refused is
// listed with the files left alone, once per run.
// Tells the file system ahead what a batch of the plan is about to change
// (FileSystem::willChangeTimes and prepareChanges, for one).
using AnnounceBatch = std::function<void(std::span<const PlannedChange> batch)>;

// With `announce`, each batch of changesPerBatch planned changes is told
// before the first of them is made.
OperationResult applyChangePlan(const ChangePlan& plan, Workspace& ws, Host& host, const ApplyChange& apply,
                                std::string_view notSupported, const FolderStep& folderStep = {},
                                const AnnounceBatch& announce = {});

// The reason text (code page 936) for a change the file system refused.
std::string refusalReason(FsStatus status, std::string_view notSupported);

// "成功处理文件总数量：" followed by the count, code page 936.
std::string fileOpsClosingMessage(std::int64_t count);

} // namespace qv
