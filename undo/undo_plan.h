#pragma once
// Taking back a run: the plan of what to restore, newest change first, each
// step with what it will do or why it is left alone, then applying it.
//
// Nothing is ever overwritten. A file is renamed back only when it is still
// at the name the run gave it and its old name is free; times and
// attributes are restored where the file still is; an output is removed only
// while it holds exactly what the run wrote (size, modification time and
// hash); an output that replaced a file cannot bring that file back and is
// listed. An interrupted run is taken back the same way: a change it never
// made (its file still at the old name, its output never written) needs
// nothing. Records newer than the last change the run evidently made count
// as never made.
//
// Planning reads through FileSystem (stat, exists, openForReading) and
// changes nothing; applyUndo makes the changes through the same interface.
// Texts are code page 936.

#include "platform/file_system.h"
#include "undo/journal.h"
#include "undo/run_history.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum class UndoAction {
    RenameBack,        // path -> oldPath
    RestoreTimes,      // times
    RestoreAttributes, // attributes
    RemoveOutput,      // remove path
};

enum class UndoStatus {
    Ready,         // will be done
    NothingToDo,   // the run never made this change, or it is taken back already
    OldNameTaken,  // another file has the old name now
    NotFound,      // the file is no longer where the run left it
    Changed,       // the output is no longer what the run wrote
    CannotRead,    // the output could not be read to compare it
    NotRestorable, // the output replaced a file, which is gone
};

struct UndoStep {
    UndoAction action = UndoAction::RenameBack;
    std::string path;             // the file as the run left it: its new name, the changed file, the output
    std::string oldPath;          // RenameBack: the name it gets back
    TimeChange times;             // RestoreTimes: the times it gets back (creation only when the run changed it)
    std::uint32_t attributes = 0; // RestoreAttributes: the attr:: bits it gets back
    // RestoreTimes, RestoreAttributes: the raw DOS attributes it gets back,
    // where the journal knows them; they carry the creation time, so
    // `times` then leaves it alone. RestoreAttributes with them: the
    // permission bits it gets back, in place of `attributes`.
    std::optional<std::string> dosAttrib;
    std::optional<std::uint32_t> permissions;
    UndoStatus status = UndoStatus::Ready;
    // What the undo run journals before a ready step, so that the undo can
    // itself be taken back: the reverse rename, or the times or attributes
    // the file has now. Nothing for a removed output (its bytes are gone
    // with it) and for steps that are not ready.
    std::optional<FileRecord> redo;
};

struct UndoPlan {
    std::string runId;
    std::vector<UndoStep> steps; // newest change first
};

// The plan for taking back `run`. Cost: a stat or two per record, and a
// read of every output that still has the size and time the run gave it.
UndoPlan planUndo(const JournalRun& run, const FileSystem& fs);

// Why the run `runId` may not be taken back, or nothing when it may: it is
// not in the journal, it is undone already, or a newer run that is not
// undone changed one of its files ("较新的操作（<operation> <time>）更改了同
// 一文件，请先撤销它", naming the newest such run). A newer undo of this run
// or of a run newer than it does not count: together with its run it
// changed nothing.
std::optional<std::string> undoRefusal(const RunHistory& history, std::string_view runId);

// Why a step is left alone, for the list of what could not be restored;
// empty for Ready and NothingToDo.
std::string undoStatusReason(UndoStatus status);

struct UndoHooks {
    // Before each batch of up to changesPerBatch steps (not all of them
    // ready): journal the batch's redo records and flush. False stops.
    std::function<bool(std::span<const UndoStep> batch)> beforeBatch;
    // After each step tried, with the number of steps tried so far. False
    // stops (the user asked to).
    std::function<bool(std::size_t done)> afterStep;
};

// Makes the ready steps of `plan` in order. The result has one entry per
// step: the file system's answer for a step tried, nothing for a step that
// was not ready or not reached.
std::vector<std::optional<FsStatus>> applyUndo(const UndoPlan& plan, FileSystem& fs, const UndoHooks& hooks = {});

} // namespace qv
