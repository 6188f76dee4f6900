#pragma once
// The runs a journal holds, newest first, with their state, and the trimming
// that keeps the journal within its bounds.
//
// A run is made of the records with its id from its RunBegin on; records
// without a RunBegin before them, a second RunBegin of the same id, and
// records after the run's end are ignored. A run is done when its RunEnd is
// there, interrupted when it is not (the program was killed, the machine
// lost power, or the run is still going on in another process), and undone
// when an undo run that ended takes it back and is not itself undone (so
// taking back the undo makes the run done again).

#include "platform/journal_store.h"
#include "undo/journal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum class RunState { Done, Interrupted, Undone };

struct JournalRun {
    std::string id;
    RunBeginRecord header;
    std::optional<std::string> undoes; // an undo run: the id of the run it takes back
    std::vector<FileRecord> changes;   // in the order they were journaled
    // The files the run changed or created: each step through a temporary
    // name counts with the file it moves, each path once.
    std::size_t fileCount = 0;
    bool ended = false;
    RunState state = RunState::Interrupted;
};

struct RunHistory {
    std::vector<JournalRun> runs; // newest first
    std::optional<JournalDamage> damage;
};

// The runs of a journal's records. Cost: linear in the records; the records
// are moved into the runs.
RunHistory buildRunHistory(JournalContents contents);
// readJournal and buildRunHistory.
RunHistory readRunHistory(std::string_view journalBytes);

// The run with id `runId`; nothing when the journal has no such run.
const JournalRun* findRun(const RunHistory& history, std::string_view runId);

// The run a plain "undo" takes back: the newest that is not undone and is
// not itself an undo, so that undoing again goes further back instead of
// redoing what was just undone (an undo is taken back by choosing it).
// Nothing when there is none.
const JournalRun* newestUndoable(const RunHistory& history);

// "done", "interrupted" or "undone".
std::string_view runStateName(RunState state);

// The local time `time` showed under `utcOffsetSeconds`, as
// "yyyy-mm-dd hh:mm:ss".
std::string formatRunTime(FileTime time, std::int32_t utcOffsetSeconds);

struct JournalBounds {
    std::size_t maxRuns = 100;
    std::uint64_t maxBytes = 64ULL << 20;
};

// The journal without its oldest runs, so that it holds at most
// bounds.maxRuns runs in at most bounds.maxBytes bytes; nothing when it is
// within its bounds already, or is foreign (never rewritten). A journal
// over the size bound is cut to three quarters of it: at its bound, a
// journal of large runs would otherwise be rewritten (tens of MiB, with an
// fsync) after every one of them. The run
// `keepRunId` (the one that just ended) is never dropped, even when it
// alone is over the size bound: it is the one a user most likely takes
// back. A trimmed journal also loses the records of no run and a damaged
// tail; kept records are copied as they are. Cost: one indexJournal, one
// copy.
std::optional<std::string> trimJournalBytes(std::string_view bytes, const JournalBounds& bounds,
                                            std::string_view keepRunId);

// trimJournalBytes applied to the store's journal through one rewrite.
JournalStatus trimJournal(JournalStore& store, const JournalBounds& bounds, std::string_view keepRunId);

} // namespace qv
