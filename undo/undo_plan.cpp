#include "undo/undo_plan.h"

#include "platform/code_page.h"
#include "text/bytes.h"
#include "text/run_error.h"
#include "undo/content_hash.h"
#include "undo/journal_writer.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace qv {
namespace {

// The files at the names a plan touches, once the steps planned so far
// are made: the identity of the file found at a name, or nothing.
class NameView {
public:
    explicit NameView(const FileSystem& fs) : fs_(fs) { }
    std::optional<FileIdentity> at(const std::string& path) const
    {
        if (const auto known = known_.find(path); known != known_.end()) return known->second;
        if (const auto entry = fs_.stat(path)) return identityOf(*entry);
        return std::nullopt;
    }
    bool exists(const std::string& path) const
    {
        return known_.contains(path) ? at(path).has_value() : fs_.exists(path);
    }
    void move(const std::string& from, const std::string& to)
    {
        known_[to] = at(from);
        known_[from] = std::nullopt;
    }
    void remove(const std::string& path) { known_[path] = std::nullopt; }

private:
    const FileSystem& fs_;
    std::unordered_map<std::string, std::optional<FileIdentity>> known_;
};

// A rename that only changes letter case: on a case-insensitive file
// system both names find the same file, so the old name seems taken.
bool caseOnly(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && a != b && text::equalsIgnoreCaseAt(a, 0, b);
}

UndoStep makeStep(UndoAction action, const std::string& path)
{
    UndoStep step;
    step.action = action;
    step.path = path;
    return step;
}

enum class OutputState { Same, Different, Unreadable };

OutputState compareOutput(const OutputRecord& r, const FileSystem& fs)
{
    const std::optional<FileEntry> entry = fs.stat(r.path);
    if (!entry || entry->attributes & (attr::directory | attr::reparsePoint | attr::device))
        return OutputState::Different;
    // A modification time of zero was not known when the record was written.
    if (entry->size != r.size || (r.modified != FileTime{} && entry->lastWriteTime != r.modified))
        return OutputState::Different;
    try {
        const std::unique_ptr<FileReader> reader = fs.openForReading(r.path);
        ContentHash hash;
        std::string buffer(1 << 16, '\0');
        std::uint64_t total = 0;
        while (const std::size_t n = reader->read(buffer.data(), buffer.size())) {
            hash.update(std::string_view(buffer).substr(0, n));
            total += n;
        }
        if (reader->changedSinceOpened() || total != r.size || hash.digest() != r.hash) return OutputState::Different;
        return OutputState::Same;
    } catch (const RunError&) {
        return OutputState::Unreadable;
    }
}

class Planner {
public:
    Planner(const JournalRun& run, const FileSystem& fs)
        : fs_(fs), names_(fs), interrupted_(!run.ended), madeSeen_(run.ended)
    { }

    UndoStep step(const RenameRecord& r)
    {
        UndoStep s = makeStep(UndoAction::RenameBack, r.newPath);
        s.oldPath = r.oldPath;
        const std::optional<FileIdentity> atNew = names_.at(r.newPath);
        const bool oldTaken = names_.exists(r.oldPath);
        // In a run that ended every change was made, so whatever has the new
        // name is the file the run moved, maybe written to since. In an
        // interrupted run another file at the new name, or one of another
        // size or time, means the change was never made.
        const bool moved = atNew && (!interrupted_ || !r.identity || isSameFile(*r.identity, *atNew));
        if (!atNew) {
            s.status = oldTaken ? UndoStatus::NothingToDo : UndoStatus::NotFound;
        } else if (!moved) {
            s.status = madeSeen_ && !oldTaken ? UndoStatus::NotFound : UndoStatus::NothingToDo;
        } else if (!oldTaken || caseOnly(r.oldPath, r.newPath)) {
            madeSeen_ = true;
            s.redo = RenameRecord{r.newPath, r.oldPath, atNew};
            names_.move(r.newPath, r.oldPath);
        } else {
            // Both names exist: the old one was taken after the rename, or
            // (in an interrupted run, past its last change) the rename was
            // never made.
            s.status = madeSeen_ || r.identity ? UndoStatus::OldNameTaken : UndoStatus::NothingToDo;
        }
        return s;
    }

    UndoStep step(const TimesRecord& r)
    {
        UndoStep s = makeStep(UndoAction::RestoreTimes, r.path);
        s.times = TimeChange{r.dosAttrib ? std::nullopt : r.creation, r.lastWrite, r.lastAccess};
        s.dosAttrib = r.dosAttrib;
        if (!names_.exists(r.path)) {
            s.status = UndoStatus::NotFound;
        } else if (const auto now = fs_.stat(r.path)) {
            std::optional<FileTime> created;
            if (r.creation) created = now->creationTime;
            s.redo = TimesRecord{r.path, now->lastWriteTime, now->lastAccessTime, created,
                                 r.dosAttrib ? storedDosAttrib(r.path) : std::nullopt};
        }
        return s;
    }

    UndoStep step(const AttributesRecord& r)
    {
        UndoStep s = makeStep(UndoAction::RestoreAttributes, r.path);
        s.attributes = r.attributes;
        if (r.dosAttrib && r.permissions) {
            s.dosAttrib = r.dosAttrib;
            s.permissions = r.permissions;
        }
        if (!names_.exists(r.path)) {
            s.status = UndoStatus::NotFound;
        } else if (const auto now = fs_.stat(r.path)) {
            const std::optional<StoredMetadata> stored = fs_.storedMetadata(r.path);
            s.redo =
                AttributesRecord{r.path, now->attributes, stored ? std::optional(stored->dosAttributes) : std::nullopt,
                                 stored ? std::optional(stored->permissions) : std::nullopt};
        }
        return s;
    }

    UndoStep step(const OutputRecord& r)
    {
        UndoStep s = makeStep(UndoAction::RemoveOutput, r.path);
        if (!names_.exists(r.path)) {
            s.status = UndoStatus::NothingToDo;
            return s;
        }
        const OutputState state = compareOutput(r, fs_);
        if (state == OutputState::Same) madeSeen_ = true;
        if (state == OutputState::Unreadable)
            s.status = UndoStatus::CannotRead;
        else if (r.replacedExisting)
            // A replaced file that does not hold the output was, in an
            // interrupted run, most likely never replaced.
            s.status = madeSeen_ ? UndoStatus::NotRestorable : UndoStatus::NothingToDo;
        else if (state == OutputState::Different)
            s.status = madeSeen_ ? UndoStatus::Changed : UndoStatus::NothingToDo;
        else
            names_.remove(r.path);
        return s;
    }

private:
    std::optional<std::string> storedDosAttrib(const std::string& path) const
    {
        if (auto stored = fs_.storedMetadata(path)) return std::move(stored->dosAttributes);
        return std::nullopt;
    }

    const FileSystem& fs_;
    NameView names_;
    bool interrupted_;
    // A change of the run is known to have been made: every older change
    // was made too (a run applies its changes in journal order), so a name
    // in the way is taken, not merely never vacated.
    bool madeSeen_;
};

std::unordered_set<std::string_view> touchedPaths(const JournalRun& run)
{
    std::unordered_set<std::string_view> paths;
    for (const FileRecord& change : run.changes) {
        if (const auto* rename = std::get_if<RenameRecord>(&change)) {
            paths.insert(rename->oldPath);
            paths.insert(rename->newPath);
        } else {
            paths.insert(changedPath(change));
        }
    }
    return paths;
}

bool touchesAny(const JournalRun& run, const std::unordered_set<std::string_view>& paths)
{
    return std::any_of(run.changes.begin(), run.changes.end(), [&](const FileRecord& change) {
        if (const auto* rename = std::get_if<RenameRecord>(&change))
            return paths.contains(rename->oldPath) || paths.contains(rename->newPath);
        return paths.contains(changedPath(change));
    });
}

FsStatus applyStep(const UndoStep& step, FileSystem& fs)
{
    switch (step.action) {
    case UndoAction::RenameBack: return fs.renameNoReplace(step.path, step.oldPath);
    case UndoAction::RestoreTimes: {
        const FsStatus status = fs.setTimes(step.path, step.times);
        if (status != FsStatus::Ok || !step.dosAttrib) return status;
        return fs.restoreStoredMetadata(step.path, *step.dosAttrib, std::nullopt);
    }
    case UndoAction::RestoreAttributes:
        if (step.dosAttrib && step.permissions)
            return fs.restoreStoredMetadata(step.path, *step.dosAttrib, step.permissions);
        return fs.setAttributes(step.path, step.attributes);
    case UndoAction::RemoveOutput: return fs.remove(step.path);
    }
    return FsStatus::Failed;
}

} // namespace

UndoPlan planUndo(const JournalRun& run, const FileSystem& fs)
{
    UndoPlan plan{run.id, {}};
    plan.steps.reserve(run.changes.size());
    Planner planner(run, fs);
    for (auto change = run.changes.rbegin(); change != run.changes.rend(); ++change)
        plan.steps.push_back(std::visit([&](const auto& r) { return planner.step(r); }, *change));
    return plan;
}

std::optional<std::string> undoRefusal(const RunHistory& history, std::string_view runId)
{
    const CodePage& gbk = CodePage::gbk();
    const auto position = [&](std::string_view id) {
        return std::find_if(history.runs.begin(), history.runs.end(), [&](const JournalRun& r) { return r.id == id; });
    };
    const auto wanted = position(runId);
    if (wanted == history.runs.end()) return gbk.fromUtf8("找不到要撤销的操作：") + std::string(runId);
    if (wanted->state == RunState::Undone) return gbk.fromUtf8("这次操作已经撤销");

    const std::unordered_set<std::string_view> paths = touchedPaths(*wanted);
    for (auto newer = history.runs.begin(); newer != wanted; ++newer) {
        if (newer->state == RunState::Undone) continue;
        if (newer->undoes && (*newer->undoes == runId || position(*newer->undoes) < wanted)) continue;
        if (!touchesAny(*newer, paths)) continue;
        return gbk.fromUtf8("较新的操作（") + newer->header.operation + " " +
               formatRunTime(newer->header.started, newer->header.utcOffsetSeconds) +
               gbk.fromUtf8("）更改了同一文件，请先撤销它");
    }
    return std::nullopt;
}

std::string undoStatusReason(UndoStatus status)
{
    const char* utf8 = "";
    switch (status) {
    case UndoStatus::Ready:
    case UndoStatus::NothingToDo: return {};
    case UndoStatus::OldNameTaken: utf8 = "原文件名已被其他文件占用"; break;
    case UndoStatus::NotFound: utf8 = "文件已不在操作后的位置"; break;
    case UndoStatus::Changed: utf8 = "文件在操作后已被修改，未删除"; break;
    case UndoStatus::CannotRead: utf8 = "无法读取文件，未删除"; break;
    case UndoStatus::NotRestorable: utf8 = "操作替换了原有文件，原文件无法恢复"; break;
    }
    return CodePage::gbk().fromUtf8(utf8);
}

std::vector<std::optional<FsStatus>> applyUndo(const UndoPlan& plan, FileSystem& fs, const UndoHooks& hooks)
{
    std::vector<std::optional<FsStatus>> outcomes(plan.steps.size());
    const std::span<const UndoStep> steps(plan.steps);
    std::size_t done = 0;
    for (std::size_t first = 0; first < steps.size(); first += changesPerBatch) {
        const auto batch = steps.subspan(first, std::min(changesPerBatch, steps.size() - first));
        if (hooks.beforeBatch && !hooks.beforeBatch(batch)) break;
        for (std::size_t i = 0; i < batch.size(); ++i) {
            if (batch[i].status != UndoStatus::Ready) continue;
            outcomes[first + i] = applyStep(batch[i], fs);
            if (hooks.afterStep && !hooks.afterStep(++done)) return outcomes;
        }
    }
    return outcomes;
}

} // namespace qv
