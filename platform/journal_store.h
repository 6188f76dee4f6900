#pragma once
// Where the undo journal's bytes live: one file in the user's data folder,
// only ever appended to, or replaced whole when it is trimmed or repaired.
// The journal's format is not known here (undo/journal.h); the store only
// makes its bytes durable and keeps concurrent runs (a window and a command
// line at once) from tearing each other's writes.
//
// Every method reports failure in its JournalStatus and never throws: a run
// whose journal cannot be written may still go on and say so.
//
// Paths here are system paths (UTF-8 on Debian), not code page 936: the
// journal's location comes from the environment, not from the file list.

#include "platform/descriptor.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

struct JournalStatus {
    enum class Code {
        Ok,
        CannotCreateFolder, // the data folder is missing and cannot be made
        CannotLock,         // the lock beside the journal cannot be taken
        CannotOpen,         // the journal (or its temporary) cannot be opened or created
        CannotRead,
        CannotWrite,   // a write failed (disk full, quota, I/O error)
        CannotSync,    // the data could not be made durable (fdatasync/fsync)
        CannotReplace, // the new journal could not be renamed into place
        ForeignFile,   // the file at the journal's path is not a journal; it is left as it is
        NoLocation,    // neither $XDG_DATA_HOME nor $HOME tells where the journal goes
    };
    Code code = Code::Ok;
    int systemError = 0; // errno of the failing call, 0 when none

    bool ok() const { return code == Code::Ok; }
};

// "撤销记录无法写入：" (reading: "撤销记录无法读取："), code page 936,
// followed by what failed and the system's reason, e.g.
// "撤销记录无法写入：No space left on device".
std::string journalStatusMessage(const JournalStatus& status);

class JournalStore {
public:
    virtual ~JournalStore() = default;

    // The journal's whole content; empty when it does not exist yet.
    // Cost: one read of the whole file.
    virtual JournalStatus read(std::string& bytes) const = 0;

    // Appends `bytes` and makes them durable before returning, so that a
    // change made afterwards is never ahead of its record. When the journal
    // is empty or missing, `headerWhenEmpty` is written first. Cost: one
    // write (a loop where the system writes less) and one fdatasync; on the
    // first append also an fsync of the folder, so the new file's name
    // survives a power cut too.
    virtual JournalStatus append(std::string_view bytes, std::string_view headerWhenEmpty) = 0;

    // What `edit` returns for the current content (empty when there is
    // none) replaces the journal; nothing when it returns nothing. No other
    // read, append or rewrite through any store of the same path runs in
    // between, so no record appended meanwhile is lost. The replacement is
    // atomic: a reader (or a power cut) sees the old journal or the complete
    // new one. Cost: one read (a mapping) of the whole file, and when `edit`
    // changes it,
    // one write of a temporary file beside it, fsync, rename and an fsync of
    // the folder.
    virtual JournalStatus rewrite(const std::function<std::optional<std::string>(std::string_view)>& edit) = 0;
};

// The journal as the file at `path`. The folder that holds it is created
// (mode 0700, parents too) at the first write; the journal gets mode 0600,
// as does the lock file "<path>.lock" beside it, on which every method holds
// an exclusive flock while it works.
class PosixJournalStore final : public JournalStore {
public:
    explicit PosixJournalStore(std::string path);

    const std::string& path() const { return path_; }

    JournalStatus read(std::string& bytes) const override;
    JournalStatus append(std::string_view bytes, std::string_view headerWhenEmpty) override;
    JournalStatus rewrite(const std::function<std::optional<std::string>(std::string_view)>& edit) override;

private:
    class Lock;
    JournalStatus lock(bool create, Lock& held) const;

    std::string path_;
    mutable Descriptor lockFd_;
};

// "<data>/qorvane/journal", where <data> is `xdgDataHome` when it is an
// absolute path, else `home` + "/.local/share"; nothing when neither gives
// an absolute path. Either may be null (the variable is not set).
std::optional<std::string> journalPathFor(const char* xdgDataHome, const char* home);

// journalPathFor($XDG_DATA_HOME, $HOME).
std::optional<std::string> defaultJournalPath();

// An identifier no other run has: "<seconds since 1970>-<process id>-<n>",
// n counting the runs of this process from 1, e.g. "1714572202-4711-1".
std::string newRunId();

} // namespace qv
