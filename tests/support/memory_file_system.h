#pragma once
// An in-memory FileSystem for tests of the code above the platform layer
// (search, rename, dates, attributes, delete, and the operations that read
// and write file contents). Paths are disk paths, as for the real file
// system: bytes with "/" separators, each name as written on disk (UTF-8, or
// code page 936 bytes for a name made on Chinese Windows); listings and stat()
// read names as the real one does (decodeDiskName), and names with no exact
// text are counted, not listed; repeated and trailing separators are ignored
// when a path is looked up, so "a//b/" names "a/b", and "" names "/".
//
// It behaves like the real file system where callers can see it:
//   - listFolder() gives ".", ".." and then the folder's entries in the
//     order they were added; "." carries the folder's own attributes, ".."
//     its parent's; an entry with attr::reparsePoint or attr::device is of
//     type Other; the names of addUnconvertibleNames() (UTF-8 names with a
//     character GBK lacks) read as U+FFFD, which "*" and "*.*" match;
//   - remove() refuses folders and read-only files, renameNoReplace() never
//     replaces (a case-only rename of one file works), setTimes() refuses
//     read-only files, setAttributes() keeps the bits outside attr::settable;
//   - setStorageSupported(false) makes every creation-time and attribute
//     change fail with NotSupported, like a file system without user
//     extended attributes.
//   - openForReading() reads files only (a folder or special entry, or a
//     missing path, throws "Cannot open file <path>"); createAtomically()
//     puts the content in place at commit only, refuses a read-only target
//     and a missing folder with "Cannot create file <path>", and sets the
//     size to the bytes written.
// Adding a file or folder creates its missing parent folders.

#include "platform/file_system.h"

#include <map>
#include <string>
#include <vector>

namespace qv::testing {

class MemoryFileSystem : public FileSystem {
public:
    // Adds (or replaces) a file. `attributes` 0 means attr::archive.
    void addFile(std::string_view path, std::uint64_t size = 0, std::uint32_t attributes = 0, FileTime created = {},
                 FileTime written = {}, FileTime accessed = {});
    void addFolder(std::string_view path, std::uint32_t attributes = attr::directory);
    // An entry that is neither file nor folder, e.g. a symbolic link
    // (attr::reparsePoint) or a device (attr::device).
    void addSpecial(std::string_view path, std::uint32_t attributes);
    void addUnconvertibleNames(std::string_view folder, std::size_t count);
    // Adds (or replaces) a file holding `bytes`.
    void addFileWithContent(std::string_view path, std::string_view bytes, std::uint32_t attributes = 0);
    // The bytes of the file at `path`; nothing when no file is there.
    std::optional<std::string> content(std::string_view path) const;
    void setStorageSupported(bool supported) { storageSupported_ = supported; }

    // The entry stored at `path` (same as stat()); for checks in tests.
    std::optional<FileEntry> find(std::string_view path) const { return stat(path); }
    // Every path held, folders included, in sorted order.
    std::vector<std::string> paths() const;

    std::unique_ptr<FolderListing> listFolder(std::string_view folder) const override;
    std::optional<FileEntry> stat(std::string_view path) const override;
    bool exists(std::string_view path) const override;
    FsStatus remove(std::string_view path) override;
    FsStatus renameNoReplace(std::string_view from, std::string_view to) override;
    FsStatus setTimes(std::string_view path, const TimeChange& change) override;
    FsStatus setAttributes(std::string_view path, std::uint32_t attributes) override;
    std::unique_ptr<FileReader> openForReading(std::string_view path) const override;
    std::unique_ptr<AtomicFileWriter> createAtomically(std::string_view path) override;

private:
    struct Node {
        FileEntry entry;                   // name is the last path element
        std::vector<std::string> children; // keys, in the order added
        std::size_t unconvertible = 0;
        std::string bytes; // a file's content
    };
    class Writer;
    static std::string key(std::string_view path);
    static std::string parentKey(const std::string& key);
    Node& ensureFolder(const std::string& key);
    void put(const std::string& key, FileEntry entry);
    void detach(const std::string& key);
    // Stores `bytes` as the file at `path`, or throws "Cannot create file".
    void commitContent(std::string_view path, std::string bytes);

    std::map<std::string, Node> nodes_;
    std::uint64_t lastFileNumber_ = 0;
    bool storageSupported_ = true;
};

} // namespace qv::testing
