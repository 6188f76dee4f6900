#pragma once
// A file system that writes ahead, into the undo journal, what every change
// made through it is about to do, and then makes the change on the file
// system it wraps. Runs go through it, so that each run can be taken back
// (undo/undo_run.h); reading passes straight through.
//
// - renameNoReplace: the old and new name.
// - setTimes: the times the file has before (read with one stat), and with
//   a creation time the raw DOS attributes that hold it.
// - setAttributes, restoreStoredMetadata: the attributes the file has
//   before, as bits and as stored (FileSystem::storedMetadata).
// - createAtomically: the output's path, size and ContentHash, and whether
//   it replaces a file, recorded when the writer commits, before the file is
//   put in place.
// - remove is not journaled: only the list's delete command removes files,
//   and it says that they cannot be recovered.
//
// A change told ahead (FileSystem::willRename, willChangeTimes,
// willChangeAttributes) is recorded then and made durable by
// prepareChanges(), one flush per batch; a change not told is recorded and
// flushed on its own, just before it is made. When the journal cannot be
// written the change is not made: RunError with journalStatusMessage.

#include "platform/file_system.h"
#include "undo/journal_writer.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace qv {

class JournalingFileSystem final : public FileSystem {
public:
    JournalingFileSystem(FileSystem& inner, JournalWriter& journal) : inner_(inner), journal_(journal) { }

    std::unique_ptr<FolderListing> listFolder(std::string_view folder) const override
    {
        return inner_.listFolder(folder);
    }
    std::optional<FileEntry> stat(std::string_view path) const override { return inner_.stat(path); }
    bool exists(std::string_view path) const override { return inner_.exists(path); }
    bool sameEntry(std::string_view a, std::string_view b) const override { return inner_.sameEntry(a, b); }
    bool mayChangeMetadata(std::string_view path) const override { return inner_.mayChangeMetadata(path); }
    std::unique_ptr<FileReader> openForReading(std::string_view path) const override
    {
        return inner_.openForReading(path);
    }
    FsStatus remove(std::string_view path) override { return inner_.remove(path); }

    FsStatus renameNoReplace(std::string_view from, std::string_view to) override;
    FsStatus setTimes(std::string_view path, const TimeChange& change) override;
    FsStatus setAttributes(std::string_view path, std::uint32_t attributes) override;
    std::optional<StoredMetadata> storedMetadata(std::string_view path) const override
    {
        return inner_.storedMetadata(path);
    }
    FsStatus restoreStoredMetadata(std::string_view path, std::string_view dosAttributes,
                                   std::optional<std::uint32_t> permissions) override;
    std::unique_ptr<AtomicFileWriter> createAtomically(std::string_view path) override;

    void willRename(std::string_view from, std::string_view to, bool withIdentity) override;
    void willChangeTimes(std::string_view path, bool creation) override;
    void willChangeAttributes(std::string_view path) override;
    void prepareChanges() override;

    // Records that `path` is about to receive `bytes`-many bytes hashing to
    // `hash`, then flushes. For the writers this file system hands out.
    void recordOutput(std::string_view path, std::uint64_t size, std::uint64_t hash);

private:
    bool addTimes(std::string_view path, bool creation);
    bool addAttributes(std::string_view path);
    // Flushes, or throws RunError when the journal cannot be written.
    void flushOrThrow();

    FileSystem& inner_;
    JournalWriter& journal_;
    // Changes recorded ahead and not yet made, by kind.
    std::unordered_set<std::string> renames_; // from + '\0' + to
    std::unordered_set<std::string> times_;
    std::unordered_set<std::string> attributes_;
    // Where a file told to move with its identity is going, and that identity.
    std::unordered_map<std::string, FileIdentity> identityAt_;
};

} // namespace qv
