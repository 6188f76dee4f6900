#include "undo/journaling_file_system.h"

#include "platform/journal_store.h"
#include "text/run_error.h"
#include "undo/content_hash.h"

namespace qv {
namespace {

std::string renameKey(std::string_view from, std::string_view to)
{
    std::string key(from);
    key += '\0';
    key.append(to);
    return key;
}

// Hashes what goes through it; at commit, has the output recorded before it
// is put in place.
class JournalingWriter final : public AtomicFileWriter {
public:
    JournalingWriter(std::unique_ptr<AtomicFileWriter> inner, JournalingFileSystem& fs, std::string_view path)
        : inner_(std::move(inner)), fs_(fs), path_(path)
    { }

    void write(std::string_view bytes) override
    {
        inner_->write(bytes);
        hash_.update(bytes);
        size_ += bytes.size();
    }
    void commit() override
    {
        fs_.recordOutput(path_, size_, hash_.digest());
        inner_->commit();
    }
    void commitAs(std::string_view path) override
    {
        fs_.recordOutput(path, size_, hash_.digest());
        inner_->commitAs(path);
    }

private:
    std::unique_ptr<AtomicFileWriter> inner_;
    JournalingFileSystem& fs_;
    std::string path_;
    ContentHash hash_;
    std::uint64_t size_ = 0;
};

} // namespace

void JournalingFileSystem::flushOrThrow()
{
    const JournalStatus status = journal_.flush();
    if (!status.ok()) throw RunError(journalStatusMessage(status));
}

bool JournalingFileSystem::addTimes(std::string_view path, bool creation)
{
    const std::optional<FileEntry> entry = inner_.stat(path);
    if (!entry) return false; // the change itself will say why not
    std::optional<FileTime> created;
    std::optional<std::string> dosAttrib;
    if (creation) {
        created = entry->creationTime;
        if (auto stored = inner_.storedMetadata(path)) dosAttrib = std::move(stored->dosAttributes);
    }
    journal_.add(TimesRecord{std::string(path), entry->lastWriteTime, entry->lastAccessTime, created, dosAttrib});
    return true;
}

bool JournalingFileSystem::addAttributes(std::string_view path)
{
    const std::optional<FileEntry> entry = inner_.stat(path);
    if (!entry) return false;
    AttributesRecord record{std::string(path), entry->attributes, std::nullopt, std::nullopt};
    if (auto stored = inner_.storedMetadata(path)) {
        record.dosAttrib = std::move(stored->dosAttributes);
        record.permissions = stored->permissions;
    }
    journal_.add(std::move(record));
    return true;
}

FsStatus JournalingFileSystem::renameNoReplace(std::string_view from, std::string_view to)
{
    if (renames_.erase(renameKey(from, to)) == 0) {
        journal_.addRename(from, to);
        flushOrThrow();
    }
    return inner_.renameNoReplace(from, to);
}

FsStatus JournalingFileSystem::setTimes(std::string_view path, const TimeChange& change)
{
    if (times_.erase(std::string(path)) == 0 && addTimes(path, change.creation.has_value())) flushOrThrow();
    return inner_.setTimes(path, change);
}

FsStatus JournalingFileSystem::setAttributes(std::string_view path, std::uint32_t attributes)
{
    if (attributes_.erase(std::string(path)) == 0 && addAttributes(path)) flushOrThrow();
    return inner_.setAttributes(path, attributes);
}

FsStatus JournalingFileSystem::restoreStoredMetadata(std::string_view path, std::string_view dosAttributes,
                                                     std::optional<std::uint32_t> permissions)
{
    if (addAttributes(path)) flushOrThrow();
    return inner_.restoreStoredMetadata(path, dosAttributes, permissions);
}

std::unique_ptr<AtomicFileWriter> JournalingFileSystem::createAtomically(std::string_view path)
{
    return std::make_unique<JournalingWriter>(inner_.createAtomically(path), *this, path);
}

void JournalingFileSystem::recordOutput(std::string_view path, std::uint64_t size, std::uint64_t hash)
{
    journal_.add(OutputRecord{std::string(path), size, FileTime{}, hash, inner_.exists(path)});
    flushOrThrow();
}

void JournalingFileSystem::willRename(std::string_view from, std::string_view to, bool withIdentity)
{
    std::optional<FileIdentity> identity;
    if (withIdentity) {
        // A file told to move on from a name it has not reached yet (a
        // temporary name of a cycle) is the file told to move there.
        if (const std::optional<FileEntry> entry = inner_.stat(from))
            identity = identityOf(*entry);
        else if (const auto moving = identityAt_.find(std::string(from)); moving != identityAt_.end())
            identity = moving->second;
        if (identity) identityAt_[std::string(to)] = *identity;
    }
    journal_.addRename(from, to, identity);
    renames_.insert(renameKey(from, to));
}

void JournalingFileSystem::willChangeTimes(std::string_view path, bool creation)
{
    if (addTimes(path, creation)) times_.insert(std::string(path));
}

void JournalingFileSystem::willChangeAttributes(std::string_view path)
{
    if (addAttributes(path)) attributes_.insert(std::string(path));
}

void JournalingFileSystem::prepareChanges()
{
    if (journal_.buffered() > 0) flushOrThrow();
}

} // namespace qv
