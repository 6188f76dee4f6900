#include "platform/file_io.h"

#include "platform/code_page.h"
#include "text/run_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <random>

namespace qv {
namespace {

constexpr const char* cannotOpen = "Cannot open file %s";
constexpr const char* cannotCreate = "Cannot create file %s";

// The UTF-8 path the system knows for a code page 936 path, or nothing when
// the path cannot stand for exactly one file name.
std::optional<std::string> systemPath(std::string_view path)
{
    if (path.empty() || path.find('\0') != std::string_view::npos) return std::nullopt;
    if (std::all_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(path);
    const CodePage& gbk = CodePage::gbk();
    if (!gbk.roundTrips(path)) return std::nullopt;
    return gbk.toUtf8(path);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { closeNow(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes and reports whether the close succeeded (a network file system
    // may report a failed write only here).
    bool closeNow()
    {
        if (fd_ < 0) return true;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
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

// A temporary file beside the target, renamed over it by commit() and
// removed when it is given up.
class TemporaryFile {
public:
    TemporaryFile(std::string target, std::string_view givenPath) : target_(std::move(target)), givenPath_(givenPath)
    {
        const std::size_t slash = target_.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = folder + ".qv-tmp-" + randomSuffix();
            const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                fd_ = std::make_unique<FileDescriptor>(fd);
                path_ = std::move(candidate);
                return;
            }
            if (errno != EEXIST && errno != EINTR) break;
        }
        fail();
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (fd_) fd_->closeNow();
        if (!committed_ && !path_.empty()) ::unlink(path_.c_str());
    }

    void write(const char* data, std::size_t size)
    {
        if (!writeAll(fd_->get(), data, size)) fail();
    }

    void commit()
    {
        if (!fd_->closeNow()) fail();
        if (::rename(path_.c_str(), target_.c_str()) != 0) fail();
        committed_ = true;
    }

private:
    [[noreturn]] void fail() const { throw RunError(formatMessage(cannotCreate, givenPath_)); }

    std::string target_;
    std::string givenPath_;
    std::string path_;
    std::unique_ptr<FileDescriptor> fd_;
    bool committed_ = false;
};

template <typename Produce>
void writeThroughTemporary(std::string_view path, Produce produce)
{
    std::optional<std::string> target = systemPath(path);
    if (!target) throw RunError(formatMessage(cannotCreate, path));
    TemporaryFile file(std::move(*target), path);
    produce(file);
    file.commit();
}

} // namespace

std::string readFileBytes(std::string_view path)
{
    const std::optional<std::string> source = systemPath(path);
    if (!source) throw RunError(formatMessage(cannotOpen, path));
    FileDescriptor fd(::open(source->c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || S_ISDIR(status.st_mode))
        throw RunError(formatMessage(cannotOpen, path));

    // Sized from the file's length plus one byte, so a regular file is read
    // without reallocation and its end is seen in the same buffer; files that
    // report no length (pipes, /proc) grow by doubling.
    std::string bytes;
    bytes.resize(status.st_size > 0 ? static_cast<std::size_t>(status.st_size) + 1 : 64 * 1024);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd.get(), bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw RunError(formatMessage(cannotOpen, path));
        }
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return bytes;
}

void writeFileAtomically(std::string_view path, std::string_view bytes)
{
    writeThroughTemporary(path, [&](TemporaryFile& file) { file.write(bytes.data(), bytes.size()); });
}

text::LineList readLineList(std::string_view path) { return text::LineList::fromBytes(readFileBytes(path)); }

void writeLineList(std::string_view path, const text::LineList& lines)
{
    writeThroughTemporary(path, [&](TemporaryFile& file) {
        constexpr std::size_t chunk = 1 << 20;
        const std::size_t capacity = std::min(chunk, lines.joinedSize());
        const auto buffer = std::make_unique<char[]>(capacity);
        std::size_t used = 0;
        for (const std::string_view line : lines) {
            const std::size_t needed = line.size() + 2;
            if (used + needed > capacity) {
                file.write(buffer.get(), used);
                used = 0;
            }
            if (needed > capacity) {
                // Longer than the buffer: written straight from the list.
                file.write(line.data(), line.size());
                file.write("\r\n", 2);
                continue;
            }
            std::memcpy(buffer.get() + used, line.data(), line.size());
            buffer[used + line.size()] = '\r';
            buffer[used + line.size() + 1] = '\n';
            used += needed;
        }
        file.write(buffer.get(), used);
    });
}

} // namespace qv
