// Any bytes as an undo journal, as they stand, behind the magic, and cut
// into record bodies framed with valid checksums (so that the bodies' own
// checks are reached): reading never crashes, allocates only what the input
// holds, keeps only records that encode back to their bytes (or, in an
// older form, to the same record), the
// index agrees with the reader, and the history, the trimming and the undo
// checks built on them hold their shape.
#include "undo/content_hash.h"
#include "undo/journal.h"
#include "undo/run_history.h"
#include "undo/undo_plan.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

void check(std::string_view bytes)
{
    const qv::JournalContents contents = qv::readJournal(bytes);
    if (contents.validSize > bytes.size()) __builtin_trap();
    if (!contents.damage && contents.validSize != bytes.size()) __builtin_trap();
    // Records of the current form encode back to exactly their bytes; those
    // of an older form (a rename identity of size and time alone, a times
    // record without its DOS attributes field) at least to the same record.
    for (const qv::JournalRecord& record : contents.records) {
        std::string again;
        qv::appendRecord(again, record.runId, record.body);
        if (again == bytes.substr(record.offset, record.size)) continue;
        const qv::JournalContents reread = qv::readJournal(std::string(qv::journalMagic) + again);
        if (reread.damage || reread.records.size() != 1 || reread.records[0].runId != record.runId ||
            !(reread.records[0].body == record.body))
            __builtin_trap();
    }
    // The index finds the same records and the same damage.
    const qv::JournalIndex index = qv::indexJournal(bytes);
    if (index.damage != contents.damage || index.validSize != contents.validSize ||
        index.entries.size() != contents.records.size())
        __builtin_trap();
    for (std::size_t i = 0; i < index.entries.size(); ++i) {
        const qv::JournalIndexEntry& entry = index.entries[i];
        const qv::JournalRecord& record = contents.records[i];
        if (entry.offset != record.offset || entry.size != record.size || entry.runId != record.runId ||
            entry.runBegin != std::holds_alternative<qv::RunBeginRecord>(record.body))
            __builtin_trap();
    }

    const qv::RunHistory history = qv::readRunHistory(bytes);
    for (const qv::JournalRun& run : history.runs) {
        if (run.fileCount > run.changes.size()) __builtin_trap();
        (void)qv::undoRefusal(history, run.id);
        (void)qv::formatRunTime(run.header.started, run.header.utcOffsetSeconds);
    }
    (void)qv::newestUndoable(history);

    const std::string keep = history.runs.empty() ? std::string() : history.runs.front().id;
    if (const auto trimmed = qv::trimJournalBytes(bytes, {2, 512}, keep)) {
        const qv::JournalContents after = qv::readJournal(*trimmed);
        if (after.damage || trimmed->size() >= bytes.size()) __builtin_trap();
    }
}

void putU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

// The input as bodies, each behind a one-byte length, framed as the journal
// frames records.
std::string framedBodies(std::string_view input)
{
    std::string out(qv::journalMagic);
    while (!input.empty()) {
        const std::size_t length = std::min<std::size_t>(static_cast<unsigned char>(input[0]), input.size() - 1);
        const std::string_view body = input.substr(1, length);
        input.remove_prefix(1 + length);
        std::string lengthBytes;
        putU32(lengthBytes, static_cast<std::uint32_t>(body.size()));
        qv::ContentHash hash;
        hash.update(lengthBytes);
        hash.update(body);
        out += lengthBytes;
        putU32(out, static_cast<std::uint32_t>(hash.digest()));
        out += body;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    check(input);
    check(std::string(qv::journalMagic) + std::string(input));
    check(framedBodies(input));
    return 0;
}
