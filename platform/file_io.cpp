#include "platform/file_io.h"

#include "platform/disk_name.h"

#include "platform/code_page.h"
#include "platform/posix_file_system.h"
#include "text/run_error.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <set>

namespace qv {
namespace {

constexpr const char* cannotOpen = "Cannot open file %s";
constexpr const char* cannotCreate = "Cannot create file %s";

// The path the system takes for a disk path (see file_system.h), or nothing
// when it is empty or holds a NUL byte.
std::optional<std::string> systemPath(std::string_view path)
{
    if (path.empty() || path.find('\0') != std::string_view::npos) return std::nullopt;
    return std::string(path);
}

std::string randomSuffix()
{
    thread_local std::mt19937_64 generator(
        std::random_device{}() ^ static_cast<std::uint64_t>(::getpid()) ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    static constexpr char hex[] = "0123456789abcdef";
    std::uint64_t value = generator();
    std::string suffix(16, '0');
    for (char& c : suffix) {
        c = hex[value & 0xF];
        value >>= 4;
    }
    return suffix;
}

// Temporary names carry the writing process's id, so that a later run can
// tell a temporary whose writer is gone from one being written right now.
constexpr std::string_view temporaryPrefix = ".qv-tmp-";

std::string temporaryName()
{
    return std::string(temporaryPrefix) + std::to_string(::getpid()) + "-" + randomSuffix();
}

// The writer's process id of one of our temporary names, or 0 when `name`
// is not one.
pid_t temporaryOwner(std::string_view name)
{
    if (name.substr(0, temporaryPrefix.size()) != temporaryPrefix) return 0;
    name.remove_prefix(temporaryPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || dash == 0 || name.size() - dash - 1 != 16) return 0;
    if (!std::all_of(name.begin() + static_cast<std::ptrdiff_t>(dash) + 1, name.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) && !std::isupper(c); }))
        return 0;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + dash, pid);
    return error == std::errc{} && end == name.data() + dash && pid > 0 ? pid : 0;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// True when an existing file at `target` must not be replaced: its read-only
// attribute is set, as Windows refuses to open such a file for writing.
bool isReadOnlyTarget(std::string_view givenPath)
{
    const std::optional<FileEntry> existing = PosixFileSystem().stat(givenPath);
    return existing && !(existing->attributes & attr::directory) && (existing->attributes & attr::readOnly);
}

// A write beyond the file-size limit (ulimit -f) would kill the process with
// SIGXFSZ and no message; ignored, the write fails with EFBIG and becomes the
// run error of the file being written.
void ignoreFileSizeSignal()
{
    static const bool ignored = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)ignored;
}

} // namespace

// An output file being written. Its content goes to an unnamed file in the
// target's folder (O_TMPFILE), which commit() links into place, replacing
// the target; a run killed before that leaves nothing behind. Where the file
// system has no unnamed files, a named temporary beside the target is used
// instead and stale ones of earlier killed runs are removed from the folder
// first. A failed or abandoned write removes what it created.
class OutputFile {
public:
    OutputFile(std::string target, std::string_view givenPath)
        : target_(std::move(target)), folder_(folderOf(target_)), givenPath_(givenPath)
    {
        ignoreFileSizeSignal();
        if (isReadOnlyTarget(givenPath_)) fail();
        const int unnamed = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (unnamed >= 0) {
            fd_ = std::make_unique<Descriptor>(unnamed);
            return;
        }
        removeStaleTemporaries(folder_);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = folder_ + "/" + temporaryName();
            const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                fd_ = std::make_unique<Descriptor>(fd);
                namedPath_ = std::move(candidate);
                return;
            }
            if (errno != EEXIST && errno != EINTR) break;
        }
        fail();
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile()
    {
        if (fd_) fd_->closeNow();
        if (!committed_ && !namedPath_.empty()) ::unlink(namedPath_.c_str());
    }

    void write(const char* data, std::size_t size)
    {
        if (!writeAll(fd_->get(), std::string_view(data, size))) fail();
    }

    // Makes `target` (the system path of `givenPath`) the name commit() gives
    // the file.
    void retarget(std::string target, std::string_view givenPath)
    {
        target_ = std::move(target);
        givenPath_ = std::string(givenPath);
    }

    void commit()
    {
        if (isReadOnlyTarget(givenPath_)) fail();
        if (namedPath_.empty()) linkUnnamedIntoPlace();
        if (!fd_->closeNow()) fail();
        if (!namedPath_.empty() && ::rename(namedPath_.c_str(), target_.c_str()) != 0) fail();
        committed_ = true;
    }

private:
    [[noreturn]] void fail() const { throw RunError(formatMessage(cannotCreate, shownPath(givenPath_))); }

    // Gives the unnamed file the target's name: directly when the target does
    // not exist, else under a temporary name that is then renamed over it.
    void linkUnnamedIntoPlace()
    {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_->get());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) return;
        if (errno != EEXIST) fail();
        removeStaleTemporaries(folder_);
        std::string named = folder_ + "/" + temporaryName();
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) != 0) fail();
        namedPath_ = std::move(named);
    }

    std::string target_;
    std::string folder_;
    std::string givenPath_;
    std::string namedPath_; // the temporary's name while it has one
    std::unique_ptr<Descriptor> fd_;
    bool committed_ = false;
};

std::size_t removeStaleTemporaries(const std::string& folder)
{
    static std::mutex lock;
    static std::set<std::string> cleaned;
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (!cleaned.insert(folder).second) return 0;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    std::size_t removed = 0;
    while (const dirent* item = ::readdir(dir)) {
        const pid_t owner = temporaryOwner(item->d_name);
        if (owner == 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
        if (::unlinkat(::dirfd(dir), item->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

PosixFileReader::PosixFileReader(std::string_view path) : path_(path)
{
    const std::optional<std::string> source = systemPath(path);
    if (!source) throw RunError(formatMessage(cannotOpen, shownPath(path)));
    // O_NONBLOCK so that opening a FIFO cannot wait for a writer; the type is
    // then checked on what was opened, after links were followed.
    fd_ = Descriptor(::open(source->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status { };
    if (!fd_.valid() || ::fstat(fd_.get(), &status) != 0 || !S_ISREG(status.st_mode))
        throw RunError(formatMessage(cannotOpen, shownPath(path)));
    size_ = static_cast<std::uint64_t>(status.st_size);
    modifiedSeconds_ = status.st_mtim.tv_sec;
    modifiedNanoseconds_ = status.st_mtim.tv_nsec;
}

bool PosixFileReader::changedSinceOpened() const
{
    struct stat status { };
    if (::fstat(fd_.get(), &status) != 0) return true;
    return static_cast<std::uint64_t>(status.st_size) != size_ || status.st_mtim.tv_sec != modifiedSeconds_ ||
           status.st_mtim.tv_nsec != modifiedNanoseconds_;
}

std::size_t PosixFileReader::read(char* buffer, std::size_t capacity)
{
    for (;;) {
        const ssize_t got = ::read(fd_.get(), buffer, capacity);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw RunError(formatMessage(cannotOpen, shownPath(path_)));
    }
}

std::string readFileBytes(std::string_view path)
{
    return PosixFileSystem().readFile(path);
}

PosixAtomicFileWriter::PosixAtomicFileWriter(std::string_view path) : path_(path) { }

PosixAtomicFileWriter::~PosixAtomicFileWriter() = default;

void PosixAtomicFileWriter::open()
{
    if (file_) return;
    std::optional<std::string> target = systemPath(path_);
    if (!target) throw RunError(formatMessage(cannotCreate, shownPath(path_)));
    file_ = std::make_unique<OutputFile>(std::move(*target), path_);
}

void PosixAtomicFileWriter::write(std::string_view bytes)
{
    if (bytes.empty()) return;
    open();
    file_->write(bytes.data(), bytes.size());
}

void PosixAtomicFileWriter::commit()
{
    open();
    file_->commit();
}

void PosixAtomicFileWriter::commitAs(std::string_view path)
{
    open();
    std::optional<std::string> target = systemPath(path);
    if (!target) throw RunError(formatMessage(cannotCreate, shownPath(path)));
    file_->retarget(std::move(*target), path);
    file_->commit();
}

void writeFileAtomically(std::string_view path, std::string_view bytes)
{
    PosixFileSystem().writeFile(path, bytes);
}

} // namespace qv
