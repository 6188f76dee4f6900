#pragma once
// Writes one run into the journal, ahead of its changes and in batches:
//
//   JournalWriter journal(store);
//   journal.beginRun(newRunId(), header);
//   for each batch of up to changesPerBatch (operation/run_loop.h) planned changes:
//       journal.add(change) for each;
//       if (!journal.flush().ok()) ... tell the user, go on unjournaled or stop;
//       apply the batch;
//   journal.endRun();
//
// flush() makes the records durable (one write and one fdatasync), so a
// change is never on disk before its record. A run that adds no file record
// leaves nothing in the journal, except an undo that flushed. The first flush also checks the journal: a
// damaged tail (a power cut during an append) is cut off, so that this run's
// records are not hidden behind it, and repairedDamage() tells what was
// dropped; a foreign file at the journal's path is never written to. That
// check reads the whole journal once per run.
//
// Once a flush fails the writer stays failed: later calls do nothing and
// return that failure, so a caller may carry on and report it once.

#include "operation/run_loop.h"
#include "platform/journal_store.h"
#include "undo/journal.h"
#include "undo/run_history.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

class JournalWriter {
public:
    explicit JournalWriter(JournalStore& store, JournalBounds bounds = {});

    // Starts the run `runId` (see newRunId()). With `undoes`, the run is the
    // undo of that run. Nothing is written yet.
    void beginRun(std::string runId, const RunBeginRecord& header, std::optional<std::string> undoes = {});

    // Buffers one record of what the run is about to do. Cost: the record's
    // encoding appended to one reused buffer.
    void add(const FileRecord& change);
    void addRename(std::string_view oldPath, std::string_view newPath,
                   std::optional<FileIdentity> identity = std::nullopt);

    // Records buffered since the last flush.
    std::size_t buffered() const { return buffered_; }

    // Appends the buffered records and makes them durable.
    JournalStatus flush();

    // Records the run's end (when anything of it was written), then, when
    // the journal as the first flush found it plus this run is over its
    // bounds, drops the oldest runs (see trimJournalBytes). Runs of other
    // processes that ended meanwhile trimmed for their own part. Cost: a
    // flush; over the bounds, one read and one rewrite of the journal.
    JournalStatus endRun();

    const std::string& runId() const { return runId_; }
    // The damage cut off the journal before this run's first records.
    const std::optional<JournalDamage>& repairedDamage() const { return repaired_; }
    // Ok, or the first failure.
    const JournalStatus& status() const { return status_; }

private:
    JournalStatus checkJournal();

    JournalStore& store_;
    JournalBounds bounds_;
    std::string runId_;
    std::string header_; // the encoded RunBegin (and UndoMarker), written with the first batch
    std::string buffer_;
    std::size_t buffered_ = 0;
    bool started_ = false;           // the header is in the journal
    std::size_t runsFound_ = 0;      // runs in the journal at the first flush
    std::uint64_t bytesFound_ = 0;   // its size then, after any repair
    std::uint64_t bytesWritten_ = 0; // appended by this run since
    bool isUndo_ = false;
    JournalStatus status_;
    std::optional<JournalDamage> repaired_;
};

} // namespace qv
