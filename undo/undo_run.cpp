#include "undo/undo_run.h"

#include "filelist/entry_time.h"
#include "fileops/change_plan.h"
#include "operation/host.h"
#include "operation/run_loop.h"
#include "operation/workspace.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/disk_name.h"
#include "platform/journal_store.h"

#include <unordered_map>

namespace qv {
namespace {

RunBeginRecord headerNow(std::string operation, std::vector<RunParameter> parameters)
{
    RunBeginRecord header;
    header.operation = std::move(operation);
    header.started = FileTime(std::chrono::nanoseconds(currentUnixNanoseconds()));
    header.utcOffsetSeconds = static_cast<std::int32_t>(currentUtcOffset());
    header.parameters = std::move(parameters);
    return header;
}

// Journals the redo records of a batch's ready steps: what taking back the
// undo needs.
bool journalBatch(JournalWriter& writer, std::span<const UndoStep> batch, Host& host)
{
    for (const UndoStep& step : batch)
        if (step.status == UndoStatus::Ready && step.redo) writer.add(*step.redo);
    const JournalStatus status = writer.flush();
    if (!status.ok()) host.showMessage(MessageKind::Error, journalStatusMessage(status));
    return status.ok();
}

// Shows in the list what the undo gave back: the old names of the files
// renamed back, the times of the files whose times came back.
void showRestored(FileList& files, const UndoPlan& plan, const std::vector<std::optional<FsStatus>>& outcomes,
                  const FileSystem& fs)
{
    // Only the rows of files the undo changed are looked up: a list may
    // hold a million rows, an undo a few.
    std::unordered_map<std::string, std::size_t> rowAt;
    for (std::size_t i = 0; i < plan.steps.size(); ++i)
        if (outcomes[i] == FsStatus::Ok) rowAt.emplace(plan.steps[i].path, 0);
    for (std::size_t row = 1; row <= files.entryCount() && !rowAt.empty(); ++row)
        if (const auto found = rowAt.find(files.fullPath(row)); found != rowAt.end() && found->second == 0)
            found->second = row;
    std::erase_if(rowAt, [](const auto& entry) { return entry.second == 0; });
    const std::int64_t utcOffset = currentUtcOffset();
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const UndoStep& step = plan.steps[i];
        const auto found = rowAt.find(step.path);
        if (outcomes[i] != FsStatus::Ok || found == rowAt.end()) continue;
        const std::size_t row = found->second;
        if (step.action == UndoAction::RenameBack) {
            const std::size_t slash = step.oldPath.rfind('/');
            if (slash == std::string::npos || std::string_view(step.oldPath).substr(0, slash) != files.diskFolder(row))
                continue;
            std::optional<DiskNameText> name = decodeDiskName(std::string_view(step.oldPath).substr(slash + 1));
            if (!name) continue;
            files.setName(row, std::move(name->text), name->encoding);
            rowAt.erase(found);
            rowAt.emplace(step.oldPath, row); // a later step of a swap moves it on
        } else if (step.action == UndoAction::RestoreTimes) {
            if (const std::optional<FileEntry> entry = fs.stat(step.path)) {
                files.setModified(row, toLocalSeconds(entry->lastWriteTime, utcOffset));
                files.setCreated(row, toLocalSeconds(entry->creationTime, utcOffset));
            }
        }
    }
}

} // namespace

JournaledRun::JournaledRun(JournalStore& store, std::string operation, std::vector<RunParameter> parameters)
    : writer_(store)
{
    writer_.beginRun(newRunId(), headerNow(std::move(operation), std::move(parameters)));
}

JournaledRun::~JournaledRun()
{
    writer_.endRun();
}

FileSystem& JournaledRun::fileSystem(FileSystem& fs)
{
    journaling_.emplace(fs, writer_);
    return *journaling_;
}

RunHistory loadHistory(const JournalStore& store, Host& host)
{
    std::string bytes;
    const JournalStatus status = store.read(bytes);
    if (!status.ok()) {
        host.showMessage(MessageKind::Error, journalStatusMessage(status));
        return {};
    }
    RunHistory history = readRunHistory(bytes);
    if (history.damage) host.showMessage(MessageKind::Information, journalDamageMessage(*history.damage));
    return history;
}

TakeBack prepareTakeBack(const RunHistory& history, std::optional<std::string_view> runId, const FileSystem& fs)
{
    TakeBack back;
    const JournalRun* run = runId ? findRun(history, *runId) : newestUndoable(history);
    if (!run) {
        back.refusal = programText(runId ? "撤销记录中没有这一次操作" : "没有可以撤销的操作");
        return back;
    }
    if (auto refusal = undoRefusal(history, run->id)) {
        back.refusal = std::move(refusal);
        return back;
    }
    back.run = *run;
    back.plan = planUndo(*run, fs);
    return back;
}

std::string takeBackQuestion(const JournalRun& run)
{
    return programText("撤销上一次操作：") + run.header.operation + programText("，") + std::to_string(run.fileCount) +
           programText(" 个文件？");
}

OperationResult takeBack(const TakeBack& back, JournalStore& store, FileSystem& fs, Workspace& ws, Host& host)
{
    OperationResult result;
    JournalWriter writer(store);
    writer.beginRun(newRunId(), headerNow(programText("撤销"), {{programText("撤销的操作"), back.run.id}}),
                    back.run.id);
    RunLoop run(ws, host, result, static_cast<std::int64_t>(back.plan.steps.size()));
    UndoHooks hooks;
    hooks.beforeBatch = [&](std::span<const UndoStep> batch) { return journalBatch(writer, batch, host); };
    hooks.afterStep = [&](std::size_t) {
        run.advance();
        return run.goOn();
    };
    const std::vector<std::optional<FsStatus>> outcomes = applyUndo(back.plan, fs, hooks);
    showRestored(ws.files, back.plan, outcomes, fs);
    for (std::size_t i = 0; i < back.plan.steps.size(); ++i) {
        const UndoStep& step = back.plan.steps[i];
        if (step.status != UndoStatus::Ready) {
            if (step.status != UndoStatus::NothingToDo) run.skipped(step.path, undoStatusReason(step.status));
        } else if (outcomes[i] && *outcomes[i] == FsStatus::Ok) {
            run.processed();
        } else if (outcomes[i]) {
            run.skipped(step.path, refusalReason(*outcomes[i], {}));
        }
    }
    const JournalStatus ended = writer.endRun();
    if (!ended.ok()) host.showMessage(MessageKind::Error, journalStatusMessage(ended));
    showClosing(host, programText("成功撤销更改总数量：") + std::to_string(ws.counters.stChangeCount), result);
    return result;
}

std::string runListLine(const JournalRun& run)
{
    return run.id + "\t" + formatRunTime(run.header.started, run.header.utcOffsetSeconds) + "\t" +
           run.header.operation + "\t" + std::to_string(run.fileCount) + "\t" + std::string(runStateName(run.state));
}

} // namespace qv
