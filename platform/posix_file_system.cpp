#include "platform/posix_file_system.h"

#include "platform/ascii.h"
#include "platform/code_page.h"
#include "platform/descriptor.h"
#include "platform/disk_name.h"
#include "platform/dos_attributes.h"
#include "platform/file_io.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace qv {
namespace {

// A disk path as the system takes it; nothing when it holds a NUL byte
// (which would cut the path short).
std::optional<std::string> toDisk(std::string_view path)
{
    if (path.find('\0') != std::string_view::npos) return std::nullopt;
    return std::string(path);
}

// UTF-16 of a name from disk, ill-formed sequences as U+FFFD, so that a
// name left out can still be matched against a mask.
std::u16string widenForMask(std::string_view bytes)
{
    std::u16string out(bytes.size() + 1, u'\0');
    int32_t length = 0, substitutions = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length, bytes.data(),
                         static_cast<int32_t>(bytes.size()), 0xFFFD, &substitutions, &status);
    out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return out;
}

FsStatus statusFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return FsStatus::NotFound;
    case EEXIST:
    case ENOTEMPTY: return FsStatus::AlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS: return FsStatus::AccessDenied;
    case ENOTSUP: return FsStatus::NotSupported;
    case EISDIR: return FsStatus::IsDirectory;
    case ENAMETOOLONG: return FsStatus::NameTooLong;
    case EILSEQ: return FsStatus::InvalidName;
    default: return FsStatus::Failed;
    }
}

FileTime fromTimestamp(std::int64_t seconds, std::uint32_t nanoseconds)
{
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 1'000'000'000 - 1;
    if (seconds > limit) return FileTime::max();
    if (seconds < -limit) return FileTime::min();
    return FileTime(std::chrono::nanoseconds(seconds * 1'000'000'000 + nanoseconds));
}

timespec toTimespec(FileTime time)
{
    const std::int64_t ns = time.time_since_epoch().count();
    std::int64_t seconds = ns / 1'000'000'000;
    std::int64_t rest = ns % 1'000'000'000;
    if (rest < 0) {
        rest += 1'000'000'000;
        --seconds;
    }
    return timespec{static_cast<time_t>(seconds), static_cast<long>(rest)};
}

// Where a file lies on disk: `name` relative to the open folder `dir`, or
// with dir AT_FDCWD a path as the system takes it, or with `name` empty the
// entry `dir` itself, opened with O_PATH. `folder` is dir's own path, for the
// calls that have no form relative to a folder.
struct DiskLocation {
    int dir = AT_FDCWD;
    const char* name = "";
    std::string_view folder;

    std::string fullPath() const { return dir == AT_FDCWD ? std::string(name) : std::string(folder) + "/" + name; }
};

// getxattrat(2), Linux 6.13: lgetxattr relative to an open folder, which
// spares the walk down the whole path for each entry of a listing.
struct XattrArgs {
    std::uint64_t value;
    std::uint32_t size;
    std::uint32_t flags;
};
constexpr long getxattratCall = 464; // the same number on every architecture
std::atomic<bool> getxattratMissing{false};

// The name under which the calls that take no descriptor reach the open file
// `fd` itself (see OpenedItem).
std::string openedPath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

// lgetxattr of user.DOSATTRIB at `at`.
ssize_t getDosAttrib(const DiskLocation& at, char* buffer, std::size_t size)
{
    if (!*at.name) return getxattr(openedPath(at.dir).c_str(), dosAttribName, buffer, size);
    if (at.dir != AT_FDCWD && !getxattratMissing.load(std::memory_order_relaxed)) {
        XattrArgs args{reinterpret_cast<std::uintptr_t>(buffer), static_cast<std::uint32_t>(size), 0};
        const long length =
            syscall(getxattratCall, at.dir, at.name, AT_SYMLINK_NOFOLLOW, dosAttribName, &args, sizeof args);
        // ENOSYS: an older kernel; EPERM: a sandbox that refuses calls it
        // does not know.
        if (length >= 0 || (errno != ENOSYS && errno != EPERM)) return length;
        getxattratMissing.store(true, std::memory_order_relaxed);
    }
    return lgetxattr(at.fullPath().c_str(), dosAttribName, buffer, size);
}

// Calls `use` with the raw value of user.DOSATTRIB at `at` and gives what it
// returns; nothing, errno telling why, when the entry has none (ENODATA,
// ENOTSUP) or it cannot be read.
template <typename Use>
auto withRawDosAttrib(const DiskLocation& at, Use&& use) -> std::optional<decltype(use(std::string_view()))>
{
    char small[256];
    ssize_t length = getDosAttrib(at, small, sizeof small);
    if (length >= 0) return use(std::string_view(small, static_cast<std::size_t>(length)));
    if (errno != ERANGE) return std::nullopt;
    const ssize_t needed = getDosAttrib(at, nullptr, 0);
    if (needed <= 0 || needed > 65536) return std::nullopt;
    std::string buffer(static_cast<std::size_t>(needed), '\0');
    length = getDosAttrib(at, buffer.data(), buffer.size());
    if (length < 0) return std::nullopt;
    buffer.resize(static_cast<std::size_t>(length));
    return use(std::string_view(buffer));
}

std::optional<DosAttributes> readDosAttributes(const DiskLocation& at)
{
    return withRawDosAttrib(at, decodeDosAttributes).value_or(std::nullopt);
}

// The attribute bits the file type alone gives; what a new user.DOSATTRIB
// starts from.
std::uint32_t typeAttributes(mode_t mode)
{
    if (S_ISREG(mode)) return attr::archive;
    if (S_ISDIR(mode)) return attr::directory;
    if (S_ISLNK(mode)) return attr::reparsePoint;
    return attr::device;
}

bool hiddenByName(std::string_view name)
{
    return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

// The last element of a "/"-separated path.
std::string_view lastElement(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Everything known about one file, without following a symbolic link.
struct Inspected {
    struct statx info;
    std::optional<DosAttributes> dos;
    FileEntry entry;
};

// With `sizes`, a file whose size lies outside gives nothing.
std::optional<Inspected> inspect(const DiskLocation& at, std::string_view name936, NameEncoding encoding,
                                 std::optional<SizeRange> sizes = std::nullopt)
{
    Inspected out{};
    const int flags = *at.name ? AT_SYMLINK_NOFOLLOW : AT_SYMLINK_NOFOLLOW | AT_EMPTY_PATH;
    if (statx(at.dir, at.name, flags, STATX_BASIC_STATS | STATX_BTIME, &out.info) != 0) return std::nullopt;
    const mode_t mode = out.info.stx_mode;
    if (sizes && !sizes->holds(S_ISREG(mode) ? out.info.stx_size : 0)) return std::nullopt;
    if (!S_ISLNK(mode)) out.dos = readDosAttributes(at);

    constexpr std::uint32_t fromType = attr::directory | attr::reparsePoint | attr::device | attr::normal;
    std::uint32_t bits = out.dos && out.dos->attributes ? *out.dos->attributes & ~fromType : 0;
    if (!(out.dos && out.dos->attributes)) bits = typeAttributes(mode) & ~fromType;
    bits |= typeAttributes(mode) & fromType;
    if (S_ISREG(mode) && !(mode & S_IWUSR)) bits |= attr::readOnly;
    if (hiddenByName(name936)) bits |= attr::hidden;
    if (bits == 0) bits = attr::normal;

    FileEntry& e = out.entry;
    e.name = std::string(name936);
    e.encoding = encoding;
    e.attributes = bits;
    e.size = S_ISREG(mode) ? out.info.stx_size : 0;
    e.device = makedev(out.info.stx_dev_major, out.info.stx_dev_minor);
    e.fileNumber = out.info.stx_ino;
    e.lastWriteTime = fromTimestamp(out.info.stx_mtime.tv_sec, out.info.stx_mtime.tv_nsec);
    e.lastAccessTime = fromTimestamp(out.info.stx_atime.tv_sec, out.info.stx_atime.tv_nsec);
    e.creationTime = e.lastWriteTime;
    if (out.info.stx_mask & STATX_BTIME)
        e.creationTime = fromTimestamp(out.info.stx_btime.tv_sec, out.info.stx_btime.tv_nsec);
    if (out.dos && out.dos->createTime)
        if (const auto created = ntTimeToFileTime(*out.dos->createTime)) e.creationTime = *created;
    return out;
}

// The text of a disk path's last element and how it is written; the
// element's bytes when it has no text.
DiskNameText lastElementText(std::string_view diskPath)
{
    const std::string_view last = lastElement(diskPath);
    if (auto name = decodeDiskName(last)) return std::move(*name);
    return DiskNameText{std::string(last), NameEncoding::Utf8};
}

// The entry at a disk path, named as lastElementText says.
std::optional<Inspected> inspect(const std::string& diskPath)
{
    const DiskNameText name = lastElementText(diskPath);
    return inspect(DiskLocation{AT_FDCWD, diskPath.c_str(), {}}, name.text, name.encoding);
}

// The write bits a file whose read-only attribute is cleared gets back: the
// owner's, and the group's and others' where they may read and the process
// umask would have granted write on creation.
mode_t restoredWriteBits(mode_t mode)
{
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Umask:", 0) == 0) mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    mode_t bits = S_IWUSR;
    if (mode & S_IRGRP) bits |= S_IWGRP;
    if (mode & S_IROTH) bits |= S_IWOTH;
    return bits & ~(mask & (S_IWGRP | S_IWOTH));
}

// An entry named inside an open folder. Every step of one change goes
// through the folder's descriptor, so all of them act in the folder that
// was opened, whatever happens to its path meanwhile.
struct InFolder {
    Descriptor folder;
    int dir = -1; // folder.get()
    std::string name;
};

// Opens the folder holding `diskPath` ("." for a bare name, "/" for one
// right under the root) and names the entry in it. O_NOFOLLOW: a folder
// swapped for a symbolic link to another folder is refused (FolderIsLink)
// rather than followed there. The folders above it are taken as they are:
// a path may pass through a linked folder higher up.
FsStatus openInFolder(const std::string& diskPath, InFolder& out)
{
    const std::size_t slash = diskPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : diskPath.substr(0, slash);
    out.name = slash == std::string::npos ? diskPath : diskPath.substr(slash + 1);
    if (out.name.empty()) return FsStatus::NotFound;
    out.folder = Descriptor(open(folder.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    out.dir = out.folder.get();
    if (out.folder.valid()) return FsStatus::Ok;
    const int error = errno;
    // Linux says ENOTDIR for a symbolic link opened so.
    struct stat info;
    if (error == ENOTDIR && lstat(folder.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) return FsStatus::FolderIsLink;
    return statusFromErrno(error);
}

// The entry a metadata change acts on, opened once inside its folder with
// O_PATH | O_NOFOLLOW: the descriptor holds the very inode that was checked,
// a symbolic link being opened as itself. Times are set on the descriptor
// (utimensat with AT_EMPTY_PATH). Linux refuses fchmod and fsetxattr on an
// O_PATH descriptor (EBADF), so permission bits and extended attributes go
// through openedPath(): the kernel resolves /proc/self/fd/N to the open file
// itself without looking its name up again, so a link swapped in under the
// old name is never reached, and those calls are made only after statx on
// the descriptor showed the entry is no symbolic link (an inode never changes
// its type), so nothing is followed from there. Opening for reading instead
// would let fchmod work, but fails on a file its owner may not read (mode
// 0200, 0000), which these changes have always reached, and opens device
// nodes.
struct OpenedItem {
    InFolder place;
    Descriptor self;
    Inspected found{};
    std::string path() const { return openedPath(self.get()); }
};

FsStatus openItem(const std::string& diskPath, OpenedItem& item)
{
    if (const FsStatus s = openInFolder(diskPath, item.place); s != FsStatus::Ok) return s;
    item.self = Descriptor(openat(item.place.dir, item.place.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!item.self.valid()) return statusFromErrno(errno);
    const DiskNameText name = lastElementText(diskPath);
    auto found = inspect(DiskLocation{item.self.get(), "", {}}, name.text, name.encoding);
    if (!found) return statusFromErrno(errno);
    item.found = std::move(*found);
    return FsStatus::Ok;
}

// The permission bits of `mode` without set-user-ID, set-group-ID and
// sticky: a mode this program writes never carries them (a file that has
// them loses them when its read-only attribute changes).
mode_t permissionBits(mode_t mode)
{
    return mode & 0777;
}

// `openedPath` is OpenedItem::path() of an entry that is no symbolic link.
FsStatus writeDosAttributes(const std::string& openedPath, std::uint32_t bits, std::optional<std::uint64_t> createTime)
{
    const std::string blob = encodeDosAttributes(bits, createTime);
    if (setxattr(openedPath.c_str(), dosAttribName, blob.data(), blob.size(), 0) == 0) return FsStatus::Ok;
    return statusFromErrno(errno);
}

// Puts back the user.DOSATTRIB a file had before a failed change.
void restoreDosAttributes(const std::string& openedPath, const std::optional<DosAttributes>& before)
{
    if (!before) {
        removexattr(openedPath.c_str(), dosAttribName);
        return;
    }
    writeDosAttributes(openedPath, before->attributes.value_or(0), before->createTime);
}

// Two names equal under full Unicode case folding, as case-insensitive file
// systems compare them; ASCII needs no conversion.
bool equalIgnoringCase(std::string_view from, std::string_view to)
{
    if (isAscii(from) && isAscii(to)) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return from.size() == to.size() &&
               std::equal(from.begin(), from.end(), to.begin(), [&](char x, char y) { return lower(x) == lower(y); });
    }
    const std::u16string a = widenForMask(from), b = widenForMask(to);
    UErrorCode status = U_ZERO_ERROR;
    return u_strCaseCompare(reinterpret_cast<const UChar*>(a.data()), static_cast<int32_t>(a.size()),
                            reinterpret_cast<const UChar*>(b.data()), static_cast<int32_t>(b.size()),
                            U_FOLD_CASE_DEFAULT, &status) == 0 &&
           U_SUCCESS(status);
}

// Two paths that differ only in letter case and that the file system
// resolves to the same file: what a case-insensitive file system shows for a
// case-only rename.
bool sameFileOtherCase(std::string_view from, std::string_view to, const InFolder& source, const InFolder& target)
{
    if (from == to || !equalIgnoringCase(from, to)) return false;
    struct stat x, y;
    return fstatat(source.dir, source.name.c_str(), &x, AT_SYMLINK_NOFOLLOW) == 0 &&
           fstatat(target.dir, target.name.c_str(), &y, AT_SYMLINK_NOFOLLOW) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

// An entry by its open folder and a name in it.
struct At {
    int dir;
    std::string name;
};

bool refusesNoReplace(int error)
{
    return error == EINVAL || error == ENOSYS;
}

// vfat and exfat refuse hard links with EPERM; some network file systems
// say EOPNOTSUPP.
bool lacksHardLinks(int error)
{
    return error == EPERM || error == EOPNOTSUPP;
}

// Renames a regular file without replacing anything: the link fails when
// `to` exists. Gives 0 or the errno of the failing call.
int linkThenUnlink(const At& from, const At& to)
{
    if (linkat(from.dir, from.name.c_str(), to.dir, to.name.c_str(), 0) != 0) return errno;
    if (unlinkat(from.dir, from.name.c_str(), 0) != 0) {
        const int error = errno;
        unlinkat(to.dir, to.name.c_str(), 0);
        return error;
    }
    return 0;
}

// One step of a case-only rename: moves `from` to `to`, which must not
// exist, by the first means the file system offers: RENAME_NOREPLACE, a hard
// link, or (vfat, exfat) a plain rename right after finding `to` absent.
// Gives 0 or an errno.
int moveToFreeName(const At& from, const At& to)
{
    if (renameat2(from.dir, from.name.c_str(), to.dir, to.name.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (!refusesNoReplace(errno)) return errno;
    struct stat info;
    if (fstatat(from.dir, from.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (S_ISREG(info.st_mode)) {
        const int linked = linkThenUnlink(from, to);
        if (!lacksHardLinks(linked)) return linked;
    }
    if (fstatat(to.dir, to.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
    if (errno != ENOENT) return errno;
    return renameat2(from.dir, from.name.c_str(), to.dir, to.name.c_str(), 0) == 0 ? 0 : errno;
}

// The name a case-only rename parks the file under: the new name followed by
// ".qv-rename-<pid>[-<attempt>]", beside it. It is visible and says which
// name the file was getting. A new name too long to take the suffix is cut
// at a character boundary.
std::string parkingNameFor(const std::string& target, int attempt)
{
    std::string suffix = ".qv-rename-" + std::to_string(getpid());
    if (attempt > 0) suffix += "-" + std::to_string(attempt);
    std::size_t kept = target.size();
    if (kept + suffix.size() > NAME_MAX) {
        kept = NAME_MAX - suffix.size();
        while (kept > 0 && (static_cast<unsigned char>(target[kept]) & 0xC0) == 0x80) --kept;
    }
    return target.substr(0, kept) + suffix;
}

// Holds back, for the calling thread, every signal a user or another
// process sends to end or stop it (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP,
// ...) until destroyed; they are delivered then. Faults the code itself
// raises (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS) stay
// deliverable.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t held;
        sigfillset(&held);
        for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS}) sigdelset(&held, fault);
        pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

// A rename between two spellings of one name on a case-insensitive file
// system. Renaming straight away does nothing there (both names are the same
// entry; Linux makes it a no-op, RENAME_NOREPLACE refuses it), so the file is
// parked under a free name and then moved to the new one; a failing second
// step moves it back.
FsStatus renameCaseOnly(const At& source, const At& target)
{
    const SignalsHeld held;
    At parked{target.dir, {}};
    int error = EEXIST;
    for (int attempt = 0; error == EEXIST && attempt < 100; ++attempt) {
        parked.name = parkingNameFor(target.name, attempt);
        error = moveToFreeName(source, parked);
    }
    if (error != 0) return statusFromErrno(error);
    error = moveToFreeName(parked, target);
    if (error == 0) return FsStatus::Ok;
    moveToFreeName(parked, source);
    return statusFromErrno(error);
}

} // namespace

namespace {

EntryType typeOfMode(mode_t mode)
{
    if (S_ISREG(mode)) return EntryType::File;
    if (S_ISDIR(mode)) return EntryType::Folder;
    return EntryType::Other;
}

// The type the directory entry tells; a stat where it does not (some file
// systems report DT_UNKNOWN). Nothing when the entry is gone.
std::optional<EntryType> typeOfEntry(int dir, const dirent& item)
{
    switch (item.d_type) {
    case DT_REG: return EntryType::File;
    case DT_DIR: return EntryType::Folder;
    case DT_UNKNOWN: break;
    default: return EntryType::Other;
    }
    struct statx info;
    if (statx(dir, item.d_name, AT_SYMLINK_NOFOLLOW, STATX_TYPE, &info) != 0) return std::nullopt;
    return typeOfMode(info.stx_mode);
}

class PosixFolderListing final : public FolderListing {
public:
    // Reads every entry of the folder at `disk` (UTF-8).
    explicit PosixFolderListing(std::string disk) : folder_(std::move(disk))
    {
        dir_ = opendir(folder_.c_str());
        if (!dir_) return;
        while (const dirent* item = readdir(dir_)) add(*item, dirfd(dir_));
    }
    ~PosixFolderListing() override
    {
        if (dir_) closedir(dir_);
    }
    PosixFolderListing(const PosixFolderListing&) = delete;
    PosixFolderListing& operator=(const PosixFolderListing&) = delete;

    std::optional<FileEntry> details(std::size_t index, std::optional<SizeRange> sizes) const override
    {
        if (!dir_ || index >= items_.size()) return std::nullopt;
        const std::string& disk = diskNames_[index].empty() ? items_[index].name : diskNames_[index];
        auto found = inspect(DiskLocation{dirfd(dir_), disk.c_str(), folder_}, items_[index].name,
                             items_[index].encoding, sizes);
        if (!found) return std::nullopt;
        return std::move(found->entry);
    }

private:
    void add(const dirent& item, int dir)
    {
        const std::string_view disk = item.d_name;
        NameFault fault = NameFault::NeitherEncoding;
        std::optional<DiskNameText> name = decodeDiskName(disk, &fault);
        if (!name) {
            unconvertible_.push_back(widenForMask(disk));
            unconvertibleFaults_.push_back(fault);
            return;
        }
        const auto type = typeOfEntry(dir, item);
        if (!type) return;
        diskNames_.push_back(name->text == disk ? std::string() : std::string(disk));
        items_.push_back(FolderItem{std::move(name->text), *type, name->encoding});
    }

    std::string folder_;
    DIR* dir_ = nullptr;
    std::vector<std::string> diskNames_; // the name on disk where it differs from the item's text
};

} // namespace

std::unique_ptr<FolderListing> PosixFileSystem::listFolder(std::string_view folder) const
{
    const auto disk = toDisk(folder.empty() ? std::string_view("/") : folder);
    return std::make_unique<PosixFolderListing>(disk.value_or(std::string()));
}

std::optional<FileEntry> PosixFileSystem::stat(std::string_view path) const
{
    const auto disk = toDisk(path);
    if (!disk) return std::nullopt;
    auto found = inspect(*disk);
    if (!found) return std::nullopt;
    return std::move(found->entry);
}

bool PosixFileSystem::exists(std::string_view path) const
{
    const auto disk = toDisk(path);
    struct stat info;
    return disk && lstat(disk->c_str(), &info) == 0;
}

bool PosixFileSystem::sameEntry(std::string_view a, std::string_view b) const
{
    const auto first = toDisk(a), second = toDisk(b);
    struct stat x, y;
    return first && second && lstat(first->c_str(), &x) == 0 && lstat(second->c_str(), &y) == 0 &&
           x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool PosixFileSystem::mayChangeMetadata(std::string_view path) const
{
    const auto disk = toDisk(path);
    struct stat info;
    if (!disk || lstat(disk->c_str(), &info) != 0) return true; // the change itself says why not
    return geteuid() == 0 || info.st_uid == geteuid();
}

FsStatus PosixFileSystem::remove(std::string_view path)
{
    const auto disk = toDisk(path);
    if (!disk) return FsStatus::InvalidName;
    InFolder place;
    if (const FsStatus s = openInFolder(*disk, place); s != FsStatus::Ok) return s;
    const std::string folder = openedPath(place.dir);
    const DiskNameText name = lastElementText(*disk);
    const auto found = inspect(DiskLocation{place.dir, place.name.c_str(), folder}, name.text, name.encoding);
    if (!found) return statusFromErrno(errno);
    const std::uint32_t bits = found->entry.attributes;
    if (bits & attr::directory) return FsStatus::IsDirectory;
    if ((bits & attr::readOnly) && !(bits & attr::reparsePoint)) return FsStatus::ReadOnly;
    return unlinkat(place.dir, place.name.c_str(), 0) == 0 ? FsStatus::Ok : statusFromErrno(errno);
}

FsStatus PosixFileSystem::renameNoReplace(std::string_view from, std::string_view to)
{
    const auto sourcePath = toDisk(from), targetPath = toDisk(to);
    if (!sourcePath || !targetPath) return FsStatus::InvalidName;
    InFolder source, target;
    if (const FsStatus s = openInFolder(*sourcePath, source); s != FsStatus::Ok) return s;
    if (const FsStatus s = openInFolder(*targetPath, target); s != FsStatus::Ok) return s;
    const At a{source.dir, source.name}, b{target.dir, target.name};
    if (sameFileOtherCase(from, to, source, target)) return renameCaseOnly(a, b);
    if (renameat2(a.dir, a.name.c_str(), b.dir, b.name.c_str(), RENAME_NOREPLACE) == 0) return FsStatus::Ok;
    const int error = errno;
    if (!refusesNoReplace(error)) return statusFromErrno(error);

    struct stat info;
    if (fstatat(a.dir, a.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return statusFromErrno(errno);
    if (!S_ISREG(info.st_mode)) return error == ENOSYS ? FsStatus::NotSupported : FsStatus::Failed;
    const int linked = linkThenUnlink(a, b);
    if (linked == 0) return FsStatus::Ok;
    return lacksHardLinks(linked) ? FsStatus::NotSupported : statusFromErrno(linked);
}

FsStatus PosixFileSystem::setTimes(std::string_view path, const TimeChange& change)
{
    const auto disk = toDisk(path);
    if (!disk) return FsStatus::InvalidName;
    OpenedItem item;
    if (const FsStatus s = openItem(*disk, item); s != FsStatus::Ok) return s;
    const Inspected& found = item.found;
    const std::uint32_t bits = found.entry.attributes;
    if ((bits & attr::readOnly) && !(bits & attr::directory)) return FsStatus::ReadOnly;

    if (change.creation) {
        if (bits & attr::reparsePoint) return FsStatus::SymbolicLink; // Linux keeps no user attributes on links
        const std::uint32_t stored =
            found.dos && found.dos->attributes ? *found.dos->attributes : typeAttributes(found.info.stx_mode);
        const FsStatus s = writeDosAttributes(item.path(), stored, fileTimeToNtTime(*change.creation));
        if (s != FsStatus::Ok) return s;
    }
    if (change.lastWrite || change.lastAccess) {
        timespec times[2];
        times[0] = change.lastAccess ? toTimespec(*change.lastAccess) : timespec{0, UTIME_OMIT};
        times[1] = change.lastWrite ? toTimespec(*change.lastWrite) : timespec{0, UTIME_OMIT};
        if (utimensat(item.self.get(), "", times, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW) != 0) {
            const int error = errno;
            if (change.creation) restoreDosAttributes(item.path(), found.dos);
            return statusFromErrno(error);
        }
    }
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::setAttributes(std::string_view path, std::uint32_t attributes)
{
    const auto disk = toDisk(path);
    if (!disk) return FsStatus::InvalidName;
    const std::string_view name = lastElement(path);
    OpenedItem item;
    if (const FsStatus s = openItem(*disk, item); s != FsStatus::Ok) return s;
    const Inspected& found = item.found;
    const mode_t mode = found.info.stx_mode;
    if (S_ISLNK(mode)) return FsStatus::SymbolicLink;

    const std::uint32_t wanted = attributes == attr::normal ? 0 : attributes & attr::settable & ~attr::normal;
    const bool hasStored = found.dos && found.dos->attributes;
    const std::uint32_t before = hasStored ? *found.dos->attributes : typeAttributes(mode);
    std::uint32_t stored = (before & ~attr::settable & ~attr::directory & ~attr::reparsePoint) | wanted;
    if (S_ISDIR(mode)) stored |= attr::directory;

    // Read-only of a regular file lives in the permission bits too.
    const mode_t oldMode = permissionBits(mode);
    mode_t newMode = oldMode;
    if (S_ISREG(mode)) {
        if (wanted & attr::readOnly)
            newMode &= ~static_cast<mode_t>(0222);
        else if (!(mode & S_IWUSR))
            newMode |= restoredWriteBits(mode);
    }
    const bool granting = (newMode & 0222) & ~(mode & 0222);

    // What the file reads as without user.DOSATTRIB, given the new mode.
    std::uint32_t derived = S_ISREG(mode) ? attr::archive | (wanted & attr::readOnly) : 0;
    if (hiddenByName(name)) derived |= wanted & attr::hidden;
    const bool derivable = !found.dos && wanted == derived;

    // Without write permission a user may not set user.* attributes, so the
    // permission is granted first and taken away last.
    const std::string opened = item.path();
    if (granting && chmod(opened.c_str(), newMode) != 0) return statusFromErrno(errno);
    const FsStatus written = writeDosAttributes(opened, stored, found.dos ? found.dos->createTime : std::nullopt);
    if (written != FsStatus::Ok && !(written == FsStatus::NotSupported && derivable)) {
        if (granting) chmod(opened.c_str(), oldMode);
        return written;
    }
    if (!granting && newMode != oldMode && chmod(opened.c_str(), newMode) != 0) {
        const int error = errno;
        if (written == FsStatus::Ok) restoreDosAttributes(opened, found.dos);
        return statusFromErrno(error);
    }
    return FsStatus::Ok;
}

std::optional<StoredMetadata> PosixFileSystem::storedMetadata(std::string_view path) const
{
    const auto disk = toDisk(path);
    OpenedItem item;
    if (!disk || openItem(*disk, item) != FsStatus::Ok || S_ISLNK(item.found.info.stx_mode)) return std::nullopt;
    StoredMetadata stored;
    stored.permissions = item.found.info.stx_mode & 07777;
    const auto raw = withRawDosAttrib(DiskLocation{item.self.get(), "", {}},
                                      [](std::string_view value) { return std::string(value); });
    if (raw)
        stored.dosAttributes = *raw;
    else if (errno != ENODATA && errno != ENOTSUP)
        return std::nullopt;
    return stored;
}

FsStatus PosixFileSystem::restoreStoredMetadata(std::string_view path, std::string_view dosAttributes,
                                                std::optional<std::uint32_t> permissions)
{
    const auto disk = toDisk(path);
    if (!disk) return FsStatus::InvalidName;
    OpenedItem item;
    if (const FsStatus s = openItem(*disk, item); s != FsStatus::Ok) return s;
    const mode_t mode = item.found.info.stx_mode & 07777;
    if (S_ISLNK(item.found.info.stx_mode)) return FsStatus::SymbolicLink;

    // Without write permission a user may not change user.* attributes: it
    // is granted for the change and the wanted bits are set last.
    const std::string opened = item.path();
    const mode_t writable = mode | S_IWUSR;
    if (writable != mode && chmod(opened.c_str(), writable) != 0) return statusFromErrno(errno);
    const int written = dosAttributes.empty()
                            ? removexattr(opened.c_str(), dosAttribName)
                            : setxattr(opened.c_str(), dosAttribName, dosAttributes.data(), dosAttributes.size(), 0);
    if (written != 0 && !(dosAttributes.empty() && (errno == ENODATA || errno == ENOTSUP))) {
        const int error = errno;
        if (writable != mode) chmod(opened.c_str(), mode);
        return statusFromErrno(error);
    }
    const mode_t wanted = permissions ? static_cast<mode_t>(*permissions & 07777) : mode;
    if (wanted != writable && chmod(opened.c_str(), wanted) != 0) return statusFromErrno(errno);
    return FsStatus::Ok;
}

std::unique_ptr<FileReader> PosixFileSystem::openForReading(std::string_view path) const
{
    return std::make_unique<PosixFileReader>(path);
}

std::unique_ptr<AtomicFileWriter> PosixFileSystem::createAtomically(std::string_view path)
{
    return std::make_unique<PosixAtomicFileWriter>(path);
}

} // namespace qv
