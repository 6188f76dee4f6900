#pragma once
// The file system as the program sees it: directory listing with Windows-style
// name masks, file attributes and the three file times, the few changes the
// operations make (delete, rename without replacing, set times, set
// attributes), and file contents: read whole or block by block, and written
// atomically (a target is either its old content or the complete new one).
//
// Paths going in are disk paths: the bytes the system takes, "/" separated,
// each element exactly as it is written on disk (UTF-8, or the code page 936
// bytes of a name made on Chinese Windows). Nothing here converts a path, so
// an operation reaches exactly the file whose name it read: a path for a
// listed file is made from the disk names it was listed with (FileList::
// fullPath), and a path the program makes from text (a new name, an output,
// a folder the user typed) is the text's UTF-8 form (platform/disk_name.h,
// utf8DiskForm), the system's encoding. A path holding a NUL byte is refused.
// Names coming out (listings, stat) are the program's text, code page 936,
// with the encoding that gives back their bytes on disk (diskFormOf); names
// with no exact text are left out of listings and counted by their fault.
// Messages that name a path (RunError) show it as text (shownPath).
// Tests use the in-memory fake in tests/support/memory_file_system.h.

#include "platform/disk_name.h"
#include "text/line_list.h"
#include "text/run_error.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Attribute bits, with the values Windows uses.
namespace attr {
constexpr std::uint32_t readOnly = 0x1;
constexpr std::uint32_t hidden = 0x2;
constexpr std::uint32_t system = 0x4;
constexpr std::uint32_t volumeLabel = 0x8;
constexpr std::uint32_t directory = 0x10;
constexpr std::uint32_t archive = 0x20;
// A FIFO, socket or device node: nothing Windows has. The bit lies outside
// the attribute sets the search accepts, so such entries are never listed as
// files (reading a FIFO would block).
constexpr std::uint32_t device = 0x40;
constexpr std::uint32_t normal = 0x80;
constexpr std::uint32_t temporary = 0x100;
constexpr std::uint32_t reparsePoint = 0x400;
constexpr std::uint32_t offline = 0x1000;
constexpr std::uint32_t notContentIndexed = 0x2000;
// The bits setAttributes changes; every other bit of a file is kept.
constexpr std::uint32_t settable =
    readOnly | hidden | system | archive | normal | temporary | offline | notContentIndexed;
} // namespace attr

// A point in time, UTC, to the nanosecond (range about 1678 to 2261).
using FileTime = std::chrono::sys_time<std::chrono::nanoseconds>;

// One directory entry.
struct FileEntry {
    // Code page 936, no folder part. From stat(), a last path element with
    // no text (see decodeDiskName) is given as its bytes.
    std::string name;
    std::uint32_t attributes = 0; // attr:: bits; attr::normal alone when no other bit is set
    std::uint64_t size = 0;       // bytes; 0 for directories and symbolic links
    FileTime creationTime{};
    FileTime lastWriteTime{};
    FileTime lastAccessTime{};
    NameEncoding encoding = NameEncoding::Utf8; // how the name is written on disk
    // Which file this is on which volume, kept by a rename; 0 and 0 where
    // the file system tells none.
    std::uint64_t device = 0;
    std::uint64_t fileNumber = 0;
};

// The result of list().
struct Listing {
    std::vector<FileEntry> entries;
    // Names that matched the mask but were left out because they have no
    // exact text (see decodeDiskName): all of them, and those neither UTF-8
    // nor code page 936.
    std::size_t skippedNames = 0;
    std::size_t skippedNeitherEncoding = 0;
};

// What a folder listing tells of an entry before its details are read.
enum class EntryType : std::uint8_t {
    File,   // a regular file
    Folder, // a directory ("." and ".." too)
    Other,  // a symbolic link (never followed), FIFO, socket or device node
};

struct FolderItem {
    std::string name; // code page 936
    EntryType type = EntryType::Other;
    NameEncoding encoding = NameEncoding::Utf8; // how the name is written on disk
};

// Sizes from min to max bytes, both included.
struct SizeRange {
    std::uint64_t min = 0;
    std::uint64_t max = 0;
    bool holds(std::uint64_t size) const { return size >= min && size <= max; }
};

// The entries of one folder, read once; the folder stays open so that the
// details of chosen entries cost one stat and one extended-attribute read
// each, relative to it. Entries that do not exist any more give no details.
class FolderListing {
public:
    virtual ~FolderListing() = default;

    // Every entry whose name has an exact text (see decodeDiskName), "." and
    // ".." included, in directory order (unsorted).
    const std::vector<FolderItem>& items() const { return items_; }
    // The names left out for having no exact text, as UTF-16 with U+FFFD for
    // each ill-formed UTF-8 sequence, so that a caller can match them against
    // a mask; and, index for index, why each has none.
    const std::vector<std::u16string>& unconvertibleNames() const { return unconvertible_; }
    const std::vector<NameFault>& unconvertibleFaults() const { return unconvertibleFaults_; }

    // The details of items()[index], as FileSystem::stat gives them. With
    // `sizes`, an entry whose size lies outside gives nothing, without its
    // extended attributes being read.
    virtual std::optional<FileEntry> details(std::size_t index, std::optional<SizeRange> sizes) const = 0;

protected:
    std::vector<FolderItem> items_;
    std::vector<std::u16string> unconvertible_;
    std::vector<NameFault> unconvertibleFaults_;
};

// Why a change was refused. Ok means done.
enum class FsStatus {
    Ok,
    NotFound,      // the path (or its folder) does not exist
    AlreadyExists, // the target of a rename exists
    ReadOnly,      // the file's read-only attribute is set
    IsDirectory,   // the operation does not apply to directories
    NotSupported,  // the file system cannot store this (no user extended attributes, no rename flag)
    SymbolicLink,  // a symbolic link, which cannot carry attributes or a creation time
    InvalidName,   // the path holds a NUL byte, or a name the system refuses
    NameTooLong,   // a name (or the whole path) longer than the file system allows
    FolderIsLink,  // the folder holding the path is a symbolic link, never followed for a change
    AccessDenied,  // permissions refused it
    Failed,        // any other failure of the system call
};

// Times to set; an empty member is left as it is.
struct TimeChange {
    std::optional<FileTime> creation;
    std::optional<FileTime> lastWrite;
    std::optional<FileTime> lastAccess;
};

// See FileSystem::storedMetadata.
struct StoredMetadata {
    std::string dosAttributes;
    std::uint32_t permissions = 0;
};

// A file opened for reading, read block by block. Throws RunError "Cannot
// open file <path>" when a read fails.
class FileReader {
public:
    virtual ~FileReader() = default;
    // The length the file had when it was opened (0 for files that report
    // none, such as those in /proc).
    virtual std::uint64_t size() const = 0;
    // Reads up to `capacity` bytes into `buffer`; 0 at the end of the file.
    virtual std::size_t read(char* buffer, std::size_t capacity) = 0;
    // True when the file's size or modification time differ from what they
    // were when it was opened: someone wrote to it while it was read, so what
    // was read may be cut short or mixed from two versions.
    virtual bool changedSinceOpened() const = 0;
};

// A file that changed while it was read (see FileReader::changedSinceOpened):
// nothing may be made of what was read. what() is "<path>: " followed by
// fileChangedReason().
class FileChangedWhileRead : public RunError {
public:
    explicit FileChangedWhileRead(std::string_view path);
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// "文件在处理过程中被修改", code page 936: why such a file gets no output.
std::string fileChangedReason();

// An output file written piece by piece: the target changes only at
// commit(), and a writer destroyed without commit (a failed or stopped run)
// leaves nothing behind. Nothing is created before the first write() or
// commit(), so a writer that is never used costs nothing. Throws RunError
// "Cannot create file <path>" on any failure, the target then unchanged.
class AtomicFileWriter {
public:
    virtual ~AtomicFileWriter() = default;
    virtual void write(std::string_view bytes) = 0;
    // Puts the complete file in place of the target.
    virtual void commit() = 0;
    // Commits under another name instead; it must lie in the same file
    // system as the first target.
    virtual void commitAs(std::string_view path) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The names and types of the entries of `folder`. An empty folder means
    // the root "/", so that a caller joining folder + "/" + name addresses
    // "/name". A folder that does not exist or cannot be read gives an empty
    // listing. Cost: one directory scan; a stat per entry only where the
    // file system does not tell the type.
    virtual std::unique_ptr<FolderListing> listFolder(std::string_view folder) const = 0;

    // The entries of `folder` whose names match `mask` under Windows rules
    // (see name_mask.h), with their details; "." and ".." are entries like
    // any other and "*" or "*.*" match them. skippedNames counts the
    // unconvertible names that match. Cost: listFolder plus the details of
    // every matching name.
    Listing list(std::string_view folder, std::string_view mask) const;

    // The entry at `path` (its name being the last path element), without
    // following a symbolic link; nothing when it does not exist.
    virtual std::optional<FileEntry> stat(std::string_view path) const = 0;

    // True when something (file, directory, symbolic link) exists at `path`.
    virtual bool exists(std::string_view path) const = 0;

    // True when `a` and `b` both exist and name the same entry: on a
    // case-insensitive file system, two spellings of one name do. Cost: two
    // stats. The default knows no other spelling than the exact one.
    virtual bool sameEntry(std::string_view a, std::string_view b) const { return a == b && exists(a); }

    // False when this process may not change the times or attributes of the
    // entry at `path` (it neither owns it nor has the privilege to). Cost:
    // one stat. The default allows everything.
    virtual bool mayChangeMetadata(std::string_view) const { return true; }

    // The changes below open the folder that holds `path` without following
    // a symbolic link as its last element (FolderIsLink) and act inside that
    // open folder, so that a folder swapped for a link during a run cannot
    // send a change to another folder.

    // Deletes the file at `path`. Refuses directories (IsDirectory) and files
    // whose read-only attribute is set (ReadOnly), as Windows does. A
    // symbolic link is removed itself; its target stays.
    virtual FsStatus remove(std::string_view path) = 0;

    // Renames `from` to `to`, failing with AlreadyExists when `to` exists:
    // never replaces anything. A rename that only changes letter case works
    // also on a case-insensitive file system.
    virtual FsStatus renameNoReplace(std::string_view from, std::string_view to) = 0;

    // Sets the given times. Last-write and last-access go to the inode, to the
    // nanosecond; the creation time is stored in the file's DOS attributes
    // (Linux cannot set a birth time), to 100 ns. A non-directory whose
    // read-only attribute is set is refused (ReadOnly), as Windows cannot open
    // it for writing. NotSupported when a creation time is asked for and the
    // file system has no user extended attributes, SymbolicLink when `path`
    // is a symbolic link; then nothing is changed.
    virtual FsStatus setTimes(std::string_view path, const TimeChange& change) = 0;

    // Sets the attribute bits in attr::settable to those of `attributes`
    // (attr::normal alone or 0 clears them all); other bits stay. Read-only
    // on a regular file also clears the write permission bits, and clearing
    // it restores them. A name starting with "." keeps reading as hidden.
    // NotSupported when the file system cannot store the result, SymbolicLink
    // when `path` is a symbolic link; then nothing is changed.
    virtual FsStatus setAttributes(std::string_view path, std::uint32_t attributes) = 0;

    // What setAttributes and a creation time write, exactly as the entry at
    // `path` stores it, so that it can be put back unchanged: the raw value
    // of its DOS attributes (empty when it has none) and its permission bits
    // (with set-user-ID, set-group-ID and sticky). Nothing for a missing
    // entry, a symbolic link, or a file system that keeps no such form (the
    // default). Cost: one stat and one extended-attribute read.
    virtual std::optional<StoredMetadata> storedMetadata(std::string_view path) const
    {
        (void)path;
        return std::nullopt;
    }

    // Puts back the raw DOS attributes storedMetadata gave (removing them
    // when `dosAttributes` is empty) and, with `permissions`, the permission
    // bits; the times stay. Refuses symbolic links (SymbolicLink); the
    // default refuses everything (NotSupported).
    virtual FsStatus restoreStoredMetadata(std::string_view path, std::string_view dosAttributes,
                                           std::optional<std::uint32_t> permissions)
    {
        (void)path, (void)dosAttributes, (void)permissions;
        return FsStatus::NotSupported;
    }

    // The file at `path`, opened for reading. Only regular files are read (a
    // symbolic link is followed to one): a FIFO, device or socket could block
    // the run or never end, so it is refused like a missing file. Throws
    // RunError "Cannot open file <path>" when it cannot be opened (missing,
    // not a regular file, no permission, a path with no exact form on disk).
    // Cost: one open and one fstat.
    virtual std::unique_ptr<FileReader> openForReading(std::string_view path) const = 0;

    // Changes the caller is about to make, told ahead in batches so that a
    // file system that journals its changes (undo/journaling_file_system.h)
    // records a whole batch with one flush instead of one flush a change.
    // willRename... buffer; prepareChanges() makes what they told durable,
    // and throws RunError when it cannot (the caller then makes none of
    // them). Telling is optional: a change not told is journaled on its own.
    // The real file system does nothing here.
    // `withIdentity`: record the file's size and time too, which taking back
    // an interrupted swap needs to tell which steps were made. Cost: a stat.
    virtual void willRename(std::string_view from, std::string_view to, bool withIdentity)
    {
        (void)from, (void)to, (void)withIdentity;
    }
    // `creation`: the creation time changes too.
    virtual void willChangeTimes(std::string_view path, bool creation) { (void)path, (void)creation; }
    virtual void willChangeAttributes(std::string_view path) { (void)path; }
    virtual void prepareChanges() { }

    // A writer whose commit() replaces the file at `path`, creating it when
    // it does not exist. An existing target whose read-only attribute is set
    // is not replaced; nothing of an earlier file (permissions, owner,
    // links) is kept. Throws RunError "Cannot create file <path>" (at the
    // first write or the commit) when the output cannot be made. Cost:
    // nothing until the first write; then a temporary file beside the
    // target, renamed into place at commit.
    virtual std::unique_ptr<AtomicFileWriter> createAtomically(std::string_view path) = 0;

    // The whole content of the file at `path`; fails like openForReading, or
    // with the same RunError when a read fails, or with FileChangedWhileRead. Cost: one read buffer of the
    // file's size.
    std::string readFile(std::string_view path) const;
    // Replaces the file at `path` with `bytes` through createAtomically.
    void writeFile(std::string_view path, std::string_view bytes);

    // The file at `path` read as a line list (see text::LineList::fromBytes).
    // Fails like readFile.
    text::LineList readLineList(std::string_view path) const;
    // Writes `lines` to `path` as writeFile does, every line followed by CR
    // LF. Streams through a buffer of at most 1 MiB, so it needs no second
    // copy of the content in memory.
    void writeLineList(std::string_view path, const text::LineList& lines);
};

} // namespace qv
