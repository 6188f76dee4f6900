#pragma once
// The file system of the machine, through POSIX and Linux calls.
//
// Names on disk are UTF-8; this class converts them to code page 936 and
// back. Attributes come from the extended attribute user.DOSATTRIB in Samba's
// format when a file has one; otherwise they are derived:
//   - read-only: a regular file whose owner has no write permission;
//   - hidden: a name starting with "." ("." and ".." excepted);
//   - directory: a directory; reparse point: a symbolic link; device (0x40):
//     a FIFO, socket or device node;
//   - archive: a regular file (Windows marks new and changed files so, and a
//     Linux file has no record of having been backed up);
//   - normal (0x80) when none of these applies.
// With user.DOSATTRIB present its bits replace the derived archive, system,
// hidden and read-only bits and every bit we do not know is kept; read-only by
// permission and hidden by name still add theirs, and the directory and
// reparse-point bits always follow the file type.
// A directory's missing write permission does not make it read-only: on Linux
// it only stops entries being added, and reading it as read-only would keep
// the search out of such folders.
//
// Listing: the entry types come from the directory itself (a stat only where
// the file system reports none), and the details of an entry are read
// relative to the open folder (getxattrat where the kernel has it, Linux
// 6.13), so no call walks the whole path again.
//
// Creation time: user.DOSATTRIB's create_time, else the statx birth time,
// else the last-write time.
//
// Changes: setAttributes writes user.DOSATTRIB version 5 (keeping its
// creation time and unknown bits). Setting read-only on a regular file also
// removes every write permission bit; clearing it gives back the owner's, and
// the group's and others' where they may read and the process umask allows.
// A folder's permissions are never changed, and no mode written carries
// set-user-ID, set-group-ID or sticky. Every change opens the entry once
// inside its folder (O_PATH | O_NOFOLLOW) and makes each step on that
// descriptor, so a symbolic link swapped in meanwhile is never followed. Where the file system has no user
// extended attributes, a change whose result reads back correctly without
// them (archive with or without read-only on a regular file, nothing on a
// folder) is made through the permission bits alone; any other is refused
// with NotSupported. A symbolic link cannot carry user.DOSATTRIB, so its
// attributes and creation time cannot be set (SymbolicLink).
//
// Renames never replace a file. Where the file system refuses
// RENAME_NOREPLACE, a regular file is renamed by link + unlink (the link fails
// when the target exists); anything else is then refused.
// A rename that only changes the letter case of a name (a.txt -> A.txt), on a
// case-insensitive file system (vfat, exfat, SMB, ext4 casefold) that sees
// both names as one file, goes through a parking name beside the file,
// "<new name>.qv-rename-<pid>" (cut short for a name near the length limit):
// visible, and telling which name the file was getting. Each step moves only
// to a name that does not exist, by RENAME_NOREPLACE, else a hard link, else
// (vfat, exfat have neither) a plain rename right after finding the name
// absent; a file another process creates under that name in between would be
// replaced. A failing second step moves the file back to its old name. The
// calling thread holds back SIGINT, SIGTERM, SIGHUP, SIGQUIT and the other
// catchable signals during the two steps, so they end the program only once
// the file has its new name. Still, SIGKILL, a crash, power loss, a failing
// move back, or such a signal taken by another thread that does not hold it,
// leaves the file under its parking name.
// Cost: the case-only test is a case-folded comparison of the two paths, and
// two lstat calls when they match.

#include "platform/file_system.h"

namespace qv {

class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<FolderListing> listFolder(std::string_view folder) const override;
    std::optional<FileEntry> stat(std::string_view path) const override;
    bool exists(std::string_view path) const override;
    bool sameEntry(std::string_view a, std::string_view b) const override;
    bool mayChangeMetadata(std::string_view path) const override;
    FsStatus remove(std::string_view path) override;
    FsStatus renameNoReplace(std::string_view from, std::string_view to) override;
    FsStatus setTimes(std::string_view path, const TimeChange& change) override;
    FsStatus setAttributes(std::string_view path, std::uint32_t attributes) override;
    std::optional<StoredMetadata> storedMetadata(std::string_view path) const override;
    FsStatus restoreStoredMetadata(std::string_view path, std::string_view dosAttributes,
                                   std::optional<std::uint32_t> permissions) override;
    // Contents through platform/file_io.h (PosixFileReader,
    // PosixAtomicFileWriter): O_TMPFILE + link where the file system has
    // unnamed files, a named temporary beside the target elsewhere.
    std::unique_ptr<FileReader> openForReading(std::string_view path) const override;
    std::unique_ptr<AtomicFileWriter> createAtomically(std::string_view path) override;
};

} // namespace qv
