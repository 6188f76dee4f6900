#pragma once
// Journaled runs and taking them back, as both front ends offer it.
//
//   JournaledRun run(store, "更改文件名称", parameters);  // around any run
//   operation(ws, host, run.fileSystem(fs));
//
//   TakeBack back = prepareTakeBack(loadHistory(store, host), runId, fs);
//   if (!back.refusal) takeBack(back, store, fs, ws, host);
//
// Texts are code page 936.

#include "operation/operation.h"
#include "undo/journal_writer.h"
#include "undo/journaling_file_system.h"
#include "undo/run_history.h"
#include "undo/undo_plan.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class Host;
struct Workspace;

// One run written into the journal: begun when made, ended when destroyed.
// A run that changes nothing leaves nothing behind.
class JournaledRun {
public:
    JournaledRun(JournalStore& store, std::string operation, std::vector<RunParameter> parameters);
    ~JournaledRun();
    JournaledRun(const JournaledRun&) = delete;
    JournaledRun& operator=(const JournaledRun&) = delete;

    // `fs` with every change journaled ahead.
    FileSystem& fileSystem(FileSystem& fs);

private:
    JournalWriter writer_;
    std::optional<JournalingFileSystem> journaling_;
};

// The runs of the journal in `store`, newest first. A damaged or foreign
// journal is told to `host` as information (journalDamageMessage), a
// journal that cannot be read as an error; its runs are then those before
// the damage, or none.
RunHistory loadHistory(const JournalStore& store, Host& host);

struct TakeBack {
    std::optional<std::string> refusal; // why nothing is taken back
    JournalRun run;                     // the run taken back
    UndoPlan plan;
};

// The run `runId` (the newest that can be undone when none is given), what
// taking it back does, or why it cannot be taken back. Reads through `fs`,
// changes nothing.
TakeBack prepareTakeBack(const RunHistory& history, std::optional<std::string_view> runId, const FileSystem& fs);

// "撤销上一次操作：<operation>，N 个文件？"
std::string takeBackQuestion(const JournalRun& run);

// Takes back `back.run` as its plan says, journaled as an undo run of its
// own (so that taking back the undo redoes the run). Steps go newest first;
// the host's stop request stops between steps. Ends with the closing
// message "成功撤销更改总数量：N", followed by the changes that could not be
// taken back and why, as a run lists the files it left alone.
OperationResult takeBack(const TakeBack& back, JournalStore& store, FileSystem& fs, Workspace& ws, Host& host);

// One line of a run list: ID, time, operation, files and state, TAB
// separated, code page 936.
std::string runListLine(const JournalRun& run);

} // namespace qv
