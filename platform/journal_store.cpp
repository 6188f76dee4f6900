#include "platform/journal_store.h"

#include "platform/code_page.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace qv {
namespace {

using Code = JournalStatus::Code;

JournalStatus failure(Code code)
{
    return {code, errno};
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates `folder` and its missing parents with mode 0700.
bool makeFolders(const std::string& folder)
{
    struct stat st { };
    if (::stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        errno = ENOTDIR;
        return false;
    }
    if (errno != ENOENT) return false;
    const std::string parent = folderOf(folder);
    if (parent != folder && !makeFolders(parent)) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool syncFolder(const std::string& folder)
{
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.valid() && ::fsync(fd.get()) == 0;
}

// The whole file at `path` into `bytes`; a missing file reads as empty.
JournalStatus readWhole(const std::string& path, std::string& bytes)
{
    bytes.clear();
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return errno == ENOENT ? JournalStatus{} : failure(Code::CannotOpen);
    struct stat st { };
    if (::fstat(fd.get(), &st) != 0) return failure(Code::CannotRead);
    if (!S_ISREG(st.st_mode)) return {Code::ForeignFile, 0};
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) bytes.resize(bytes.size() + 65536);
        const ssize_t n = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (n < 0) {
            if (errno == EINTR) continue;
            return failure(Code::CannotRead);
        }
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    bytes.resize(filled);
    return {};
}

// The whole file at `path`, mapped where it can be (a rewrite reads a whole
// journal of up to tens of MiB; mapping spares copying it), else read. A
// missing file is empty. Only a program that ignores the lock could shrink
// the file while it is mapped.
class WholeFile {
public:
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;
    WholeFile() = default;
    ~WholeFile()
    {
        if (mapped_) ::munmap(mapped_, size_);
    }
    JournalStatus open(const std::string& path)
    {
        const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd.valid()) return errno == ENOENT ? JournalStatus{} : failure(Code::CannotOpen);
        struct stat st { };
        if (::fstat(fd.get(), &st) != 0) return failure(Code::CannotRead);
        if (!S_ISREG(st.st_mode)) return {Code::ForeignFile, 0};
        size_ = static_cast<std::size_t>(st.st_size);
        if (size_ > 0) {
            void* at = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd.get(), 0);
            if (at != MAP_FAILED) {
                mapped_ = at;
                return {};
            }
        }
        return readWhole(path, copy_);
    }
    std::string_view bytes() const
    {
        return mapped_ ? std::string_view(static_cast<const char*>(mapped_), size_) : std::string_view(copy_);
    }

private:
    void* mapped_ = nullptr;
    std::size_t size_ = 0;
    std::string copy_;
};

} // namespace

// Holds the flock of the lock file for as long as it lives.
class PosixJournalStore::Lock {
public:
    ~Lock()
    {
        if (fd_ >= 0) ::flock(fd_, LOCK_UN);
    }
    int fd_ = -1;
};

PosixJournalStore::PosixJournalStore(std::string path) : path_(std::move(path)) { }

JournalStatus PosixJournalStore::lock(bool create, Lock& held) const
{
    if (!lockFd_.valid()) {
        if (create && !makeFolders(folderOf(path_))) return failure(Code::CannotCreateFolder);
        const std::string lockPath = path_ + ".lock";
        lockFd_ = Descriptor(::open(lockPath.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600));
        // Reading a journal whose folder does not exist yet needs no lock:
        // there is nothing to read.
        if (!lockFd_.valid()) return errno == ENOENT && !create ? JournalStatus{} : failure(Code::CannotLock);
    }
    while (::flock(lockFd_.get(), LOCK_EX) != 0)
        if (errno != EINTR) return failure(Code::CannotLock);
    held.fd_ = lockFd_.get();
    return {};
}

JournalStatus PosixJournalStore::read(std::string& bytes) const
{
    bytes.clear();
    Lock held;
    if (const JournalStatus s = lock(false, held); !s.ok()) return s;
    return readWhole(path_, bytes);
}

JournalStatus PosixJournalStore::append(std::string_view bytes, std::string_view headerWhenEmpty)
{
    Lock held;
    if (const JournalStatus s = lock(true, held); !s.ok()) return s;
    const Descriptor fd(::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600));
    if (!fd.valid()) return failure(Code::CannotOpen);
    struct stat st { };
    if (::fstat(fd.get(), &st) != 0) return failure(Code::CannotOpen);
    if (!S_ISREG(st.st_mode)) return {Code::ForeignFile, 0};
    const bool first = st.st_size == 0;
    if (first && !writeAll(fd.get(), headerWhenEmpty)) return failure(Code::CannotWrite);
    if (!writeAll(fd.get(), bytes)) return failure(Code::CannotWrite);
    if (::fdatasync(fd.get()) != 0) return failure(Code::CannotSync);
    if (first && !syncFolder(folderOf(path_))) return failure(Code::CannotSync);
    return {};
}

JournalStatus PosixJournalStore::rewrite(const std::function<std::optional<std::string>(std::string_view)>& edit)
{
    Lock held;
    if (const JournalStatus s = lock(true, held); !s.ok()) return s;
    WholeFile current;
    if (const JournalStatus s = current.open(path_); !s.ok()) return s;
    const std::optional<std::string> next = edit(current.bytes());
    if (!next) return {};

    // The lock keeps every other writer out, so one fixed temporary name
    // serves; a leftover of a killed rewrite is simply truncated.
    const std::string temporary = path_ + ".new";
    {
        const Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!fd.valid()) return failure(Code::CannotOpen);
        const bool written = writeAll(fd.get(), *next);
        const int error = errno;
        if (!written || ::fsync(fd.get()) != 0) {
            const JournalStatus s{written ? Code::CannotSync : Code::CannotWrite, written ? errno : error};
            ::unlink(temporary.c_str());
            return s;
        }
    }
    if (::rename(temporary.c_str(), path_.c_str()) != 0) {
        const JournalStatus s = failure(Code::CannotReplace);
        ::unlink(temporary.c_str());
        return s;
    }
    if (!syncFolder(folderOf(path_))) return failure(Code::CannotSync);
    return {};
}

std::string journalStatusMessage(const JournalStatus& status)
{
    const char* what = nullptr;
    switch (status.code) {
    case Code::Ok: return {};
    case Code::CannotCreateFolder: what = "无法创建文件夹"; break;
    case Code::CannotLock: what = "无法锁定"; break;
    case Code::CannotOpen: what = "无法打开"; break;
    case Code::CannotRead: what = "读取失败"; break;
    case Code::CannotWrite: what = "写入失败"; break;
    case Code::CannotSync: what = "无法写入磁盘"; break;
    case Code::CannotReplace: what = "无法替换"; break;
    case Code::ForeignFile: what = "该位置的文件不是撤销记录"; break;
    case Code::NoLocation: what = "未设置 HOME 或 XDG_DATA_HOME"; break;
    }
    const char* prefix = status.code == Code::CannotRead ? "撤销记录无法读取：" : "撤销记录无法写入：";
    std::string utf8 = std::string(prefix) + what;
    // The system's reason is English in the C locale: ASCII, so also GBK.
    if (status.systemError != 0) utf8 += std::string("（") + std::strerror(status.systemError) + "）";
    return CodePage::gbk().fromUtf8(utf8);
}

std::optional<std::string> journalPathFor(const char* xdgDataHome, const char* home)
{
    // Relative values are to be ignored (XDG base directory rules).
    if (xdgDataHome && xdgDataHome[0] == '/') return std::string(xdgDataHome) + "/qorvane/journal";
    if (home && home[0] == '/') return std::string(home) + "/.local/share/qorvane/journal";
    return std::nullopt;
}

std::optional<std::string> defaultJournalPath()
{
    return journalPathFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::string newRunId()
{
    static std::atomic<unsigned> counter{0};
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
    return std::to_string(seconds.count()) + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

} // namespace qv
