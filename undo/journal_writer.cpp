#include "undo/journal_writer.h"

#include <algorithm>

namespace qv {

JournalWriter::JournalWriter(JournalStore& store, JournalBounds bounds) : store_(store), bounds_(bounds) { }

void JournalWriter::beginRun(std::string runId, const RunBeginRecord& header, std::optional<std::string> undoes)
{
    runId_ = std::move(runId);
    header_.clear();
    appendRecord(header_, runId_, RecordBody{header});
    isUndo_ = undoes.has_value();
    if (undoes) appendRecord(header_, runId_, RecordBody{UndoMarkerRecord{std::move(*undoes)}});
    buffer_.clear();
    buffered_ = 0;
    started_ = false;
    runsFound_ = 0;
    bytesFound_ = 0;
    bytesWritten_ = 0;
    status_ = {};
    repaired_.reset();
}

void JournalWriter::add(const FileRecord& change)
{
    if (!status_.ok()) return;
    appendRecord(buffer_, runId_, change);
    ++buffered_;
}

void JournalWriter::addRename(std::string_view oldPath, std::string_view newPath, std::optional<FileIdentity> identity)
{
    if (!status_.ok()) return;
    appendRename(buffer_, runId_, oldPath, newPath, identity);
    ++buffered_;
}

// Cuts a damaged tail off the journal, so that records appended after it
// are not hidden; a foreign file is left alone and not written to.
JournalStatus JournalWriter::checkJournal()
{
    bool foreign = false;
    const JournalStatus s = store_.rewrite([&](std::string_view bytes) -> std::optional<std::string> {
        const JournalIndex contents = indexJournal(bytes);
        runsFound_ = static_cast<std::size_t>(std::count_if(contents.entries.begin(), contents.entries.end(),
                                                            [](const JournalIndexEntry& e) { return e.runBegin; }));
        bytesFound_ = std::max<std::uint64_t>(contents.validSize, journalMagic.size());
        if (!contents.damage) return std::nullopt;
        if (contents.damage->kind == JournalDamageKind::ForeignFile) {
            foreign = true;
            return std::nullopt;
        }
        repaired_ = contents.damage;
        return std::string(bytes.substr(0, contents.validSize));
    });
    if (!s.ok()) return s;
    if (foreign) return {JournalStatus::Code::ForeignFile, 0};
    return {};
}

JournalStatus JournalWriter::flush()
{
    // An undo is written even when it journals no change (removing an output
    // leaves nothing to redo): its marker tells that the run is taken back.
    if (!status_.ok() || (buffered_ == 0 && (started_ || !isUndo_))) return status_;
    if (!started_) {
        status_ = checkJournal();
        if (status_.ok()) buffer_.insert(0, header_);
    }
    if (status_.ok()) status_ = store_.append(buffer_, journalMagic);
    if (status_.ok()) {
        started_ = true;
        bytesWritten_ += buffer_.size();
    }
    // A failed writer keeps nothing: it will not write again.
    buffer_.clear();
    buffered_ = 0;
    return status_;
}

JournalStatus JournalWriter::endRun()
{
    if (!flush().ok() || !started_) return status_;
    appendRecord(buffer_, runId_, RecordBody{RunEndRecord{}});
    status_ = store_.append(buffer_, journalMagic);
    bytesWritten_ += buffer_.size();
    buffer_.clear();
    if (!status_.ok()) return status_;
    // Runs of other processes that ended meanwhile trimmed for their part.
    if (runsFound_ + 1 > bounds_.maxRuns || bytesFound_ + bytesWritten_ > bounds_.maxBytes)
        status_ = trimJournal(store_, bounds_, runId_);
    return status_;
}

} // namespace qv
