#include "fileops/rename_plan.h"

#include "fileops/new_name.h"
#include "operation/host.h"
#include "operation/run_loop.h"
#include "operation/workspace.h"
#include "platform/code_page.h"
#include "platform/disk_name.h"
#include "platform/file_system.h"
#include "platform/process_paths.h"
#include "text/bytes.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace qv {
namespace {

constexpr std::size_t none = std::numeric_limits<std::size_t>::max();

std::string_view folderOf(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
}

std::string_view nameOf(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The disk name `name` with `letter` applied to each of its ASCII letters.
// In a name written in code page 936 the second byte of a double-byte
// character is no letter; in UTF-8 every byte below 0x80 is a character.
template <typename Letter> std::string mapLetters(std::string_view name, Letter letter)
{
    const auto text = decodeDiskName(name);
    const bool pairs = text && text->encoding == NameEncoding::Gbk;
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char& c = reinterpret_cast<unsigned char&>(out[i]);
        if (pairs && CodePage::isLeadByte(c)) {
            ++i;
            continue;
        }
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) c = letter(c);
    }
    return out;
}

std::string flippedCase(std::string_view name)
{
    return mapLetters(name, [](unsigned char c) { return static_cast<unsigned char>(c ^ 0x20); });
}

std::string lowerCase(std::string_view name)
{
    return mapLetters(name, [](unsigned char c) { return static_cast<unsigned char>(c | 0x20); });
}

// The key a name is known by in its folder: the name itself, or its lower
// case in a folder whose file system ignores letter case.
class NameKeys {
public:
    NameKeys(const ChangePlan& changes, const FileSystem& fs)
    {
        for (const PlannedChange& change : changes) {
            const std::string folder(folderOf(change.path));
            if (insensitive_.contains(folder)) continue;
            const std::string_view name = nameOf(change.path);
            const std::string flipped = flippedCase(name);
            if (flipped != name) insensitive_[folder] = fs.sameEntry(change.path, joinPath(folder, flipped));
        }
    }

    std::string key(std::string_view folder, std::string_view name) const
    {
        std::string out(folder);
        out += '/';
        const auto found = insensitive_.find(std::string(folder));
        out += found != insensitive_.end() && found->second ? lowerCase(name) : std::string(name);
        return out;
    }

private:
    std::unordered_map<std::string, bool> insensitive_;
};

struct Keys {
    std::vector<std::string> source, target;
};

std::string reasonText(const char* utf8)
{
    return CodePage::gbk().fromUtf8(utf8);
}

void leaveExisting(PlannedChange& change)
{
    change.leaveAlone(PlanStatus::Exists, reasonText("目标文件已存在"));
}

// The sources of the run by key, each file once: a later entry naming a file
// already listed is left alone, since the file will have moved by then.
std::unordered_map<std::string, std::size_t> sourcesByKey(ChangePlan& changes, const Keys& keys)
{
    std::unordered_map<std::string, std::size_t> sources;
    sources.reserve(changes.size());
    for (std::size_t i = 0; i < changes.size(); ++i)
        if (!sources.emplace(keys.source[i], i).second && !changes[i].leftAlone())
            changes[i].leaveAlone(PlanStatus::Skipped, reasonText("列表中已有同一文件"));
    return sources;
}

// Display order, each file only if its name is free at its turn.
std::vector<RenameUnit> settleInOrder(ChangePlan& changes, const Keys& keys,
                                      const std::unordered_map<std::string, std::size_t>& sources, const FileSystem& fs)
{
    enum class Slot : std::uint8_t { Vacated, Taken };
    std::unordered_map<std::string, Slot> moved;
    moved.reserve(2 * changes.size());
    std::vector<RenameUnit> units;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        PlannedChange& change = changes[i];
        if (change.leftAlone()) continue;
        const std::string& target = keys.target[i];
        if (target != keys.source[i]) {
            if (const auto slot = moved.find(target); slot != moved.end()) {
                if (slot->second == Slot::Taken)
                    change.leaveAlone(PlanStatus::Duplicate, reasonText("本次处理中前面的文件将得到同一名称"));
            } else if (const auto holder = sources.find(target); holder != sources.end()) {
                // Chain for now: settleRenames keeps it only where chains
                // would move the file.
                const PlannedChange& holding = changes[holder->second];
                if ((holder->second > i && !holding.leftAlone()) || holding.status == PlanStatus::Chain)
                    change.leaveAlone(PlanStatus::Chain, {});
                else
                    leaveExisting(change);
            } else if (fs.exists(diskPathBeside(change.path, change.newName))) {
                leaveExisting(change);
            }
            if (change.leftAlone()) continue;
            moved[keys.source[i]] = Slot::Vacated;
            moved[target] = Slot::Taken;
        }
        units.push_back({{i}, false});
    }
    return units;
}

// Chains and cycles: see the header.
std::vector<RenameUnit> settleChains(ChangePlan& changes, const Keys& keys,
                                     const std::unordered_map<std::string, std::size_t>& sources, const FileSystem& fs)
{
    const std::size_t n = changes.size();
    std::unordered_map<std::string, std::size_t> claims;
    claims.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        if (!changes[i].leftAlone() && !claims.emplace(keys.target[i], i).second)
            changes[i].leaveAlone(PlanStatus::Duplicate, reasonText("本次处理中前面的文件将得到同一名称"));

    // waitsFor[i]: the file of the run that must move away before file i can
    // take its name. Each file waits for at most one, and at most one waits
    // for it, so they form simple paths and cycles.
    std::vector<std::size_t> waitsFor(n, none);
    for (std::size_t i = 0; i < n; ++i) {
        PlannedChange& change = changes[i];
        if (change.leftAlone() || keys.target[i] == keys.source[i]) continue;
        if (const auto holder = sources.find(keys.target[i]); holder != sources.end()) {
            if (changes[holder->second].leftAlone())
                leaveExisting(change);
            else
                waitsFor[i] = holder->second;
        } else if (fs.exists(diskPathBeside(change.path, change.newName))) {
            leaveExisting(change);
        }
    }

    // A path that ends at a file left alone is left alone as a whole.
    enum class Fate : std::uint8_t { Open, Visiting, Moves, Stays };
    std::vector<Fate> fate(n, Fate::Open);
    std::vector<std::size_t> path;
    for (std::size_t start = 0; start < n; ++start) {
        if (fate[start] != Fate::Open) continue;
        path.clear();
        std::size_t at = start;
        Fate end = Fate::Moves;
        while (true) {
            if (changes[at].leftAlone()) {
                end = Fate::Stays;
                break;
            }
            if (fate[at] == Fate::Visiting) break; // a cycle: it moves
            if (fate[at] != Fate::Open) {
                end = fate[at];
                break;
            }
            fate[at] = Fate::Visiting;
            path.push_back(at);
            if (waitsFor[at] == none) break;
            at = waitsFor[at];
        }
        for (const std::size_t i : path) {
            fate[i] = end;
            if (end == Fate::Stays) leaveExisting(changes[i]);
        }
    }

    std::vector<std::size_t> waitedBy(n, none);
    for (std::size_t i = 0; i < n; ++i)
        if (fate[i] == Fate::Moves && waitsFor[i] != none) waitedBy[waitsFor[i]] = i;
    std::vector<RenameUnit> units;
    std::vector<bool> placed(n, false);
    // Paths: the file whose name is free first, then the one waiting for it.
    for (std::size_t i = 0; i < n; ++i) {
        if (fate[i] != Fate::Moves || waitsFor[i] != none) continue;
        RenameUnit unit;
        for (std::size_t at = i; at != none; at = waitedBy[at]) {
            unit.changes.push_back(at);
            placed[at] = true;
        }
        units.push_back(std::move(unit));
    }
    // Cycles: park the first file, move the others back along the cycle,
    // then give the parked file its name.
    for (std::size_t i = 0; i < n; ++i) {
        if (fate[i] != Fate::Moves || placed[i]) continue;
        RenameUnit unit{{i}, true};
        placed[i] = true;
        for (std::size_t at = waitedBy[i]; at != i; at = waitedBy[at]) {
            unit.changes.push_back(at);
            placed[at] = true;
        }
        units.push_back(std::move(unit));
    }
    return units;
}

// A file left alone for a name held by a file of the run stays a Chain
// where the run with chains would move it, with the hint that the check box
// does; otherwise the name is simply taken.
// `candidate` tells the files that were to move before the settling.
void markChains(ChangePlan& changes, const std::vector<bool>& candidate, const Keys& keys,
                const std::unordered_map<std::string, std::size_t>& sources, const FileSystem& fs)
{
    const auto isChain = [](const PlannedChange& change) { return change.status == PlanStatus::Chain; };
    if (std::none_of(changes.begin(), changes.end(), isChain)) return;
    ChangePlan withChains = changes;
    for (std::size_t i = 0; i < withChains.size(); ++i)
        if (candidate[i]) withChains[i].leaveAlone(PlanStatus::Ok, {});
    settleChains(withChains, keys, sources, fs);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (!isChain(changes[i])) continue;
        if (withChains[i].leftAlone())
            leaveExisting(changes[i]);
        else
            changes[i].reason =
                reasonText("目标名称属于本次处理中另一个将改名的文件；勾选“允许名称互换与顺移”即可处理");
    }
}

} // namespace

RenamePlanBuilder::RenamePlanBuilder(const FileList& files, NewNameOf newNameOf, bool toUtf8)
    : files_(files), newNameOf_(std::move(newNameOf)), toUtf8_(toUtf8)
{ }

bool RenamePlanBuilder::planRows(std::size_t rows)
{
    const std::size_t last = files_.isEmpty() ? 0 : files_.lastRow();
    for (; rows > 0 && nextRow_ <= last; ++nextRow_, --rows) {
        if (!files_.isMarked(nextRow_)) continue;
        PlannedChange change;
        std::optional<std::string> newName;
        if (!listEnded_) newName = newNameOf_(nextRow_, ordinal_++);
        if (newName) {
            change = planRename(files_, nextRow_, *newName, toUtf8_);
        } else {
            listEnded_ = true;
            change.row = nextRow_;
            change.path = files_.fullPath(nextRow_);
            change.newName = files_.name(nextRow_);
            change.leaveAlone(PlanStatus::Unchanged, reasonText("名称列表中没有这一行"));
        }
        changes_.push_back(std::move(change));
    }
    return nextRow_ <= last;
}

RenamePlan RenamePlanBuilder::finish(const FileSystem& fs, bool chains)
{
    return settleRenames(std::move(changes_), fs, chains);
}

RenamePlan planRenames(const FileList& files, const NewNameOf& newNameOf, const FileSystem& fs, bool chains,
                       bool toUtf8)
{
    RenamePlanBuilder builder(files, newNameOf, toUtf8);
    while (builder.planRows(std::numeric_limits<std::size_t>::max())) { }
    return builder.finish(fs, chains);
}

RenamePlan settleRenames(ChangePlan changes, const FileSystem& fs, bool chains)
{
    const NameKeys names(changes, fs);
    Keys keys;
    keys.source.reserve(changes.size());
    keys.target.reserve(changes.size());
    for (const PlannedChange& change : changes) {
        const std::string_view folder = folderOf(change.path);
        keys.source.push_back(names.key(folder, nameOf(change.path)));
        keys.target.push_back(names.key(folder, nameOf(diskPathBeside(change.path, change.newName))));
    }
    const auto sources = sourcesByKey(changes, keys);
    RenamePlan plan;
    if (chains) {
        plan.units = settleChains(changes, keys, sources, fs);
    } else {
        std::vector<bool> candidate(changes.size());
        for (std::size_t i = 0; i < changes.size(); ++i) candidate[i] = !changes[i].leftAlone();
        plan.units = settleInOrder(changes, keys, sources, fs);
        markChains(changes, candidate, keys, sources, fs);
    }
    plan.changes = std::move(changes);
    return plan;
}

std::string temporaryName(int pid, int attempt)
{
    return ".qv-swap-" + std::to_string(pid) + "-" + std::to_string(attempt);
}

namespace {

class RenameMoves {
public:
    RenameMoves(const RenamePlan& plan, Workspace& ws, FileSystem& fs, RunLoop& run)
        : plan_(plan), ws_(ws), fs_(fs), run_(run)
    { }

    void apply(const RenameUnit& unit)
    {
        if (!unit.cycle) {
            for (const std::size_t i : unit.changes) moveToNewName(plan_.changes[i], plan_.changes[i].path);
            return;
        }
        const PlannedChange& parked = plan_.changes[unit.changes.front()];
        std::string temporary;
        const auto reserved = reservedAttempt_.find(&unit);
        const int firstAttempt = reserved != reservedAttempt_.end() ? reserved->second : nextAttempt_++;
        if (const FsStatus status = park(parked.path, firstAttempt, temporary); status != FsStatus::Ok) {
            // The others wait for the parked file's name: none can move.
            for (const std::size_t i : unit.changes) skip(plan_.changes[i], refusalReason(status, {}));
            return;
        }
        for (std::size_t k = 1; k < unit.changes.size(); ++k)
            moveToNewName(plan_.changes[unit.changes[k]], plan_.changes[unit.changes[k]].path);
        const FsStatus finished = moveToNewName(parked, temporary);
        if (finished == FsStatus::Ok) return;
        if (fs_.renameNoReplace(temporary, parked.path) == FsStatus::Ok)
            skip(parked, refusalReason(finished, {}));
        else
            skip(parked, reasonText("文件暂留在临时名称 ") + shownPath(temporary));
    }

    // Tells the file system the moves of the units from `first` on, up to
    // changesPerBatch of them, then has it prepare them; returns the index
    // of the first unit not told. A cycle's temporary name is reserved here,
    // so that the move through it is the one told.
    std::size_t announceFrom(std::size_t first)
    {
        std::size_t told = 0, next = first;
        for (; next < plan_.units.size() && told < changesPerBatch; ++next) {
            const RenameUnit& unit = plan_.units[next];
            told += unit.changes.size();
            if (!unit.cycle) {
                for (const std::size_t i : unit.changes) {
                    const PlannedChange& change = plan_.changes[i];
                    fs_.willRename(change.path, diskPathBeside(change.path, change.newName), false);
                }
                continue;
            }
            const PlannedChange& parked = plan_.changes[unit.changes.front()];
            const int attempt = nextAttempt_++;
            reservedAttempt_[&unit] = attempt;
            const std::string temporary = joinPath(folderOf(parked.path), temporaryName(processId(), attempt));
            fs_.willRename(parked.path, temporary, true);
            for (std::size_t k = 1; k < unit.changes.size(); ++k) {
                const PlannedChange& change = plan_.changes[unit.changes[k]];
                fs_.willRename(change.path, diskPathBeside(change.path, change.newName), true);
            }
            fs_.willRename(temporary, diskPathBeside(parked.path, parked.newName), true);
        }
        fs_.prepareChanges();
        return next;
    }

private:
    // Moves `parked`'s file to a free temporary name in its folder, trying
    // the name of `firstAttempt` first.
    FsStatus park(const std::string& path, int firstAttempt, std::string& temporary)
    {
        const std::string folder(folderOf(path));
        temporary = joinPath(folder, temporaryName(processId(), firstAttempt));
        FsStatus status = fs_.renameNoReplace(path, temporary);
        for (int attempt = 1; attempt < 1000 && status == FsStatus::AlreadyExists; ++attempt) {
            temporary = joinPath(folder, temporaryName(processId(), nextAttempt_++));
            status = fs_.renameNoReplace(path, temporary);
        }
        return status;
    }

    FsStatus moveToNewName(const PlannedChange& change, const std::string& from)
    {
        const FsStatus status = fs_.renameNoReplace(from, diskPathBeside(change.path, change.newName));
        if (status == FsStatus::Ok) {
            // Events processed during the run may have changed the list.
            if (ws_.files.fullPath(change.row) == change.path) ws_.files.setName(change.row, change.newName);
            run_.processed();
            run_.advance();
        } else if (from == change.path) {
            skip(change, refusalReason(status, {}));
        }
        return status;
    }

    void skip(const PlannedChange& change, std::string reason)
    {
        run_.skipped(change.path, std::move(reason));
        run_.advance();
    }

    const RenamePlan& plan_;
    Workspace& ws_;
    FileSystem& fs_;
    RunLoop& run_;
    int nextAttempt_ = 0;
    std::unordered_map<const RenameUnit*, int> reservedAttempt_;
};

} // namespace

OperationResult applyRenamePlan(const RenamePlan& plan, Workspace& ws, Host& host, FileSystem& fs)
{
    OperationResult result;
    RunLoop run(ws, host, result, static_cast<std::int64_t>(plan.changes.size()));
    for (const PlannedChange& change : plan.changes) {
        if (!change.leftAlone()) continue;
        if (change.status != PlanStatus::Unchanged) run.skipped(change.path, change.reason);
        run.advance();
    }
    RenameMoves moves(plan, ws, fs, run);
    std::size_t announcedUntil = 0;
    walkItems(plan.units, run, [&](const RenameUnit& unit) {
        const auto index = static_cast<std::size_t>(&unit - plan.units.data());
        if (index == announcedUntil) announcedUntil = moves.announceFrom(index);
        moves.apply(unit);
    });
    showClosing(host, fileOpsClosingMessage(ws.counters.stChangeCount), result);
    return result;
}

} // namespace qv
