#include "undo/run_history.h"

#include <chrono>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

namespace qv {
namespace {

// Counts the files of a run: a rename from a name the run itself gave
// continues the same file.
class FileCounter {
public:
    void add(const FileRecord& change)
    {
        if (const auto* rename = std::get_if<RenameRecord>(&change)) {
            if (current_.erase(rename->oldPath) == 0) ++count_;
            current_.insert(rename->newPath);
            return;
        }
        if (current_.insert(changedPath(change)).second) ++count_;
    }
    std::size_t count() const { return count_; }

private:
    std::unordered_set<std::string> current_;
    std::size_t count_ = 0;
};

// Moves a file record out of a record body; nothing for the other kinds.
std::optional<FileRecord> takeFileRecord(RecordBody& body)
{
    return std::visit(
        [](auto& r) -> std::optional<FileRecord> {
            using T = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<T, RenameRecord> || std::is_same_v<T, TimesRecord> ||
                          std::is_same_v<T, AttributesRecord> || std::is_same_v<T, OutputRecord>)
                return FileRecord{std::move(r)};
            else
                return std::nullopt;
        },
        body);
}

} // namespace

RunHistory buildRunHistory(JournalContents contents)
{
    std::vector<JournalRun> runs; // oldest first while built
    std::vector<FileCounter> counters;
    std::unordered_map<std::string, std::size_t> index;
    for (JournalRecord& record : contents.records) {
        if (auto* begin = std::get_if<RunBeginRecord>(&record.body)) {
            if (index.contains(record.runId)) continue;
            index.emplace(record.runId, runs.size());
            JournalRun& run = runs.emplace_back();
            run.id = record.runId;
            run.header = std::move(*begin);
            counters.emplace_back();
            continue;
        }
        const auto found = index.find(record.runId);
        if (found == index.end()) continue;
        JournalRun& run = runs[found->second];
        if (run.ended) continue;
        if (std::holds_alternative<RunEndRecord>(record.body)) {
            run.ended = true;
        } else if (auto* marker = std::get_if<UndoMarkerRecord>(&record.body)) {
            if (!run.undoes) run.undoes = std::move(marker->undoneRunId);
        } else if (auto change = takeFileRecord(record.body)) {
            counters[found->second].add(*change);
            run.changes.push_back(std::move(*change));
        }
    }

    // Newest first, an undo that ended takes back its run unless it is
    // itself taken back by a later one.
    std::vector<bool> undone(runs.size(), false);
    for (std::size_t i = runs.size(); i-- > 0;) {
        const JournalRun& run = runs[i];
        if (!run.undoes || !run.ended || undone[i]) continue;
        const auto target = index.find(*run.undoes);
        if (target != index.end() && target->second < i) undone[target->second] = true;
    }

    RunHistory history;
    history.damage = contents.damage;
    history.runs.reserve(runs.size());
    for (std::size_t i = runs.size(); i-- > 0;) {
        JournalRun& run = runs[i];
        run.fileCount = counters[i].count();
        run.state = undone[i] ? RunState::Undone : run.ended ? RunState::Done : RunState::Interrupted;
        history.runs.push_back(std::move(run));
    }
    return history;
}

RunHistory readRunHistory(std::string_view journalBytes)
{
    return buildRunHistory(readJournal(journalBytes));
}

const JournalRun* findRun(const RunHistory& history, std::string_view runId)
{
    for (const JournalRun& run : history.runs)
        if (run.id == runId) return &run;
    return nullptr;
}

const JournalRun* newestUndoable(const RunHistory& history)
{
    for (const JournalRun& run : history.runs)
        if (run.state != RunState::Undone && !run.undoes) return &run;
    return nullptr;
}

std::string_view runStateName(RunState state)
{
    switch (state) {
    case RunState::Done: return "done";
    case RunState::Interrupted: return "interrupted";
    case RunState::Undone: return "undone";
    }
    return {};
}

std::string formatRunTime(FileTime time, std::int32_t utcOffsetSeconds)
{
    using namespace std::chrono;
    const auto local = floor<seconds>(time) + seconds(utcOffsetSeconds);
    const auto day = floor<days>(local);
    const year_month_day date(day);
    const hh_mm_ss clock(local - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

std::optional<std::string> trimJournalBytes(std::string_view bytes, const JournalBounds& bounds,
                                            std::string_view keepRunId)
{
    const JournalIndex journal = indexJournal(bytes);
    if (journal.damage && journal.damage->kind == JournalDamageKind::ForeignFile) return std::nullopt;

    struct RunSize {
        std::string_view id;
        std::uint64_t bytes = 0;
        bool kept = true;
    };
    std::vector<RunSize> runs; // oldest first
    std::unordered_map<std::string_view, std::size_t> index;
    std::vector<std::size_t> owner(journal.entries.size(), SIZE_MAX); // the run of each record
    for (std::size_t i = 0; i < journal.entries.size(); ++i) {
        const JournalIndexEntry& entry = journal.entries[i];
        auto found = index.find(entry.runId);
        if (found == index.end()) {
            if (!entry.runBegin) continue;
            found = index.emplace(entry.runId, runs.size()).first;
            runs.push_back({entry.runId});
        }
        owner[i] = found->second;
        runs[found->second].bytes += entry.size;
    }
    if (runs.size() <= bounds.maxRuns && bytes.size() <= bounds.maxBytes) return std::nullopt;

    // Over the size bound, a quarter of it is freed, so that a journal of
    // large runs is not rewritten whole after each of them.
    const std::uint64_t sizeGoal = bytes.size() > bounds.maxBytes ? bounds.maxBytes / 4 * 3 : bounds.maxBytes;
    std::uint64_t total = journalMagic.size();
    for (const RunSize& run : runs) total += run.bytes;
    std::size_t count = runs.size();
    for (RunSize& run : runs) {
        if (count <= bounds.maxRuns && total <= sizeGoal) break;
        if (run.id == keepRunId) continue;
        run.kept = false;
        total -= run.bytes;
        --count;
    }

    std::string trimmed(journalMagic);
    trimmed.reserve(total);
    for (std::size_t i = 0; i < journal.entries.size(); ++i) {
        const JournalIndexEntry& entry = journal.entries[i];
        if (owner[i] != SIZE_MAX && runs[owner[i]].kept) trimmed.append(bytes.substr(entry.offset, entry.size));
    }
    if (trimmed.size() == bytes.size()) return std::nullopt;
    return trimmed;
}

JournalStatus trimJournal(JournalStore& store, const JournalBounds& bounds, std::string_view keepRunId)
{
    return store.rewrite([&](std::string_view bytes) { return trimJournalBytes(bytes, bounds, keepRunId); });
}

} // namespace qv
