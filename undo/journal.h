#pragma once
// The undo journal's records and their bytes on disk.
//
// A run appends, before it changes anything, what it is about to do: a
// RunBegin (operation, time, parameters), then per file the old and new
// name, or the old times or attributes, or the output it creates, and at
// last a RunEnd. An undo is a run like any other; its UndoMarker names the
// run it takes back. Every record carries the id of the run it belongs to,
// so runs of two processes may interleave.
//
// File layout: the magic "QVJ1", then records, each
//   uint32 body length, uint32 checksum (low half of ContentHash over the
//   length and the body), body
// all little-endian. A body is a kind byte, the run id, then the kind's
// fields; texts are a uint32 length and the bytes, times are an int64 of
// seconds since 1970 UTC and a uint32 of nanoseconds. A rename stores its
// new path as the length it shares with the start of the old path and the
// rest. The reader keeps
// every whole, valid record before the first damage (a torn tail after a
// power cut, a flipped byte, garbage), reports where the damage begins and
// trusts nothing after it. A file that does not start with the magic is
// foreign and yields no record at all.
//
// Paths are code page 936 byte strings, as FileSystem takes them.

#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qv {

constexpr std::string_view journalMagic = "QVJ1";

// Limits the reader enforces, so that no length read from the file can make
// it allocate much: a record body, any path or run id.
constexpr std::uint32_t maxRecordBody = 1 << 20;
constexpr std::uint32_t maxPathLength = 32768;
constexpr std::uint32_t maxRunIdLength = 128;

struct RunParameter {
    std::string key;   // code page 936
    std::string value; // code page 936
    bool operator==(const RunParameter&) const = default;
};

struct RunBeginRecord {
    std::string operation; // the operation's name as the program shows it, code page 936
    FileTime started{};
    std::int32_t utcOffsetSeconds = 0; // of the local time zone at the start, for showing the time
    std::vector<RunParameter> parameters;
    bool operator==(const RunBeginRecord&) const = default;
};

// What tells one file from another when only names are recorded, all of
// which a rename keeps: its volume and file number, and its size and
// modification time. Records from before file numbers were kept have 0 and 0
// there.
struct FileIdentity {
    std::uint64_t size = 0;
    FileTime lastWrite{};
    std::uint64_t device = 0;
    std::uint64_t fileNumber = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity identityOf(const FileEntry& entry);

// True when `found` is the file `recorded` describes, unchanged since:
// the same size and time, and the same file where both know its number.
bool isSameFile(const FileIdentity& recorded, const FileIdentity& found);

// A rename, also each step through a temporary name of a swap or shift
// (A -> tmp, B -> A, tmp -> B are three records). `identity` is the file's
// before the rename. An interrupted run that had made every step of a swap
// leaves the same names as one that had made none, so the steps of a swap
// need it; other renames are told apart by their names alone and may go
// without (it costs a stat per file where the list does not know it). In
// an interrupted run, a file whose size or time changed after the rename
// is taken for another file and left at its new name (see isSameFile).
struct RenameRecord {
    std::string oldPath;
    std::string newPath;
    std::optional<FileIdentity> identity;
    bool operator==(const RenameRecord&) const = default;
};

// The times a file had before the run changed them. `creation` is empty
// when the run left the creation time alone. A creation time is written
// into the file's DOS attributes, so with it, where known, comes their raw
// value before (empty when the file had none; see FileSystem::
// storedMetadata), which puts back the creation time exactly.
struct TimesRecord {
    std::string path;
    FileTime lastWrite{};
    FileTime lastAccess{};
    std::optional<FileTime> creation;
    std::optional<std::string> dosAttrib;
    bool operator==(const TimesRecord&) const = default;
};

// The attributes a file had before the run changed them: the attr:: bits as
// FileSystem::stat gave them, and where known the raw user.DOSATTRIB value
// (empty when the file had none) and the permission bits.
struct AttributesRecord {
    std::string path;
    std::uint32_t attributes = 0;
    std::optional<std::string> dosAttrib;
    std::optional<std::uint32_t> permissions;
    bool operator==(const AttributesRecord&) const = default;
};

// A file the run writes: what it will hold once written (size, modification
// time, ContentHash of the bytes) and whether it replaces an existing file.
// The modification time is zero when it was not known ahead (a record
// written before the file was put in place).
struct OutputRecord {
    std::string path;
    std::uint64_t size = 0;
    FileTime modified{};
    std::uint64_t hash = 0;
    bool replacedExisting = false;
    bool operator==(const OutputRecord&) const = default;
};

// In an undo run: the run it takes back.
struct UndoMarkerRecord {
    std::string undoneRunId;
    bool operator==(const UndoMarkerRecord&) const = default;
};

struct RunEndRecord {
    bool operator==(const RunEndRecord&) const = default;
};

// What a run does to one file.
using FileRecord = std::variant<RenameRecord, TimesRecord, AttributesRecord, OutputRecord>;

using RecordBody = std::variant<RunBeginRecord, RenameRecord, TimesRecord, AttributesRecord, OutputRecord,
                                UndoMarkerRecord, RunEndRecord>;

// The file a change is about: a rename's new name, any other record's path.
const std::string& changedPath(const FileRecord& change);

struct JournalRecord {
    std::string runId;
    RecordBody body;
    // Where the record's bytes (length prefix included) lie in the journal.
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
};

enum class JournalDamageKind {
    ForeignFile, // the file does not start with the magic
    Truncated,   // the file ends inside a record
    BadLength,   // a record length that no record can have
    BadChecksum, // the record's bytes are not those that were written
    BadRecord,   // the checksum holds but the content does not make sense
};

struct JournalDamage {
    std::uint64_t offset = 0; // of the first byte not trusted
    JournalDamageKind kind = JournalDamageKind::Truncated;
    bool operator==(const JournalDamage&) const = default;
};

struct JournalContents {
    std::vector<JournalRecord> records;
    std::optional<JournalDamage> damage;
    // Bytes from the start that hold the magic and the valid records; a
    // repaired journal is these bytes. 0 for a foreign file.
    std::uint64_t validSize = 0;
};

// The records of a journal's bytes. Any input is safe: every length is
// checked against what remains and the limits above before anything is
// allocated for it. Empty input is an empty journal. Cost: one pass, one
// hash over every byte.
JournalContents readJournal(std::string_view bytes);

// Appends the encoded record to `out`. Cost: the record's size, no other
// allocation than the growth of `out`.
void appendRecord(std::string& out, std::string_view runId, const RecordBody& body);
void appendRecord(std::string& out, std::string_view runId, const FileRecord& change);
void appendRename(std::string& out, std::string_view runId, std::string_view oldPath, std::string_view newPath,
                  std::optional<FileIdentity> identity = std::nullopt);

// Where each record of a journal lies and whose it is, without its
// content: for trimming and for checking a journal before appending to it.
struct JournalIndexEntry {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    std::string_view runId; // into the bytes indexed
    bool runBegin = false;
};

struct JournalIndex {
    std::vector<JournalIndexEntry> entries;
    std::optional<JournalDamage> damage; // as readJournal finds it
    std::uint64_t validSize = 0;
};

// The records readJournal would give, found by the same checks, but with no
// allocation per record beyond its entry. Cost: one pass, one hash over
// every byte.
JournalIndex indexJournal(std::string_view bytes);

// "撤销记录文件已损坏（第 N 字节起<what>），之后的内容已忽略", or for a
// foreign file "撤销记录文件不是本程序的格式，已忽略"; code page 936.
std::string journalDamageMessage(const JournalDamage& damage);

} // namespace qv
