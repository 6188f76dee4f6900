#pragma once
// File contents on the machine's disk: how PosixFileSystem opens, reads and
// atomically writes files. The operations reach these through FileSystem
// (openForReading, createAtomically, readFile, writeFile).
//
// Paths are disk paths (see file_system.h), given to the system as they
// stand; one that holds a NUL byte is refused rather than opened, so it never
// leads to another file. Errors are qv::RunError with the path shown as text
// (shownPath), in code page 936.

#include "platform/descriptor.h"
#include "platform/file_system.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qv {

class OutputFile;

// The whole content of the file at `path`. Only regular files are read (a
// symbolic link is followed to one): a FIFO, device or socket could block the
// run or never end, so it is refused like a missing file. Throws RunError
// "Cannot open file <path>" when it cannot be opened or read (missing, not a
// regular file, no permission).
std::string readFileBytes(std::string_view path);

// A file read block by block, opened by the rules of readFileBytes: opened
// with O_NONBLOCK (so a FIFO cannot wait for a writer), then checked with
// fstat on what was opened, after links were followed. Throws RunError
// "Cannot open file <path>" when it cannot be opened or read.
class PosixFileReader final : public FileReader {
public:
    explicit PosixFileReader(std::string_view path);

    std::uint64_t size() const override { return size_; }
    std::size_t read(char* buffer, std::size_t capacity) override;
    // Compares an fstat of the open file with the one made at open.
    bool changedSinceOpened() const override;

private:
    std::string path_;
    Descriptor fd_;
    std::uint64_t size_ = 0;
    std::int64_t modifiedSeconds_ = 0;
    std::int64_t modifiedNanoseconds_ = 0;
};

// An output file written piece by piece, with the guarantees of
// writeFileAtomically: the target changes only at commit(), and a writer
// destroyed without commit (a failed or stopped run) leaves nothing behind.
// Nothing is created before the first write() or commit(), so a writer that
// is never used costs nothing. Throws RunError "Cannot create file <path>".
class PosixAtomicFileWriter final : public AtomicFileWriter {
public:
    explicit PosixAtomicFileWriter(std::string_view path);
    PosixAtomicFileWriter(const PosixAtomicFileWriter&) = delete;
    PosixAtomicFileWriter& operator=(const PosixAtomicFileWriter&) = delete;
    ~PosixAtomicFileWriter() override;

    void write(std::string_view bytes) override;
    void commit() override;
    void commitAs(std::string_view path) override;

private:
    void open();

    std::string path_;
    std::unique_ptr<OutputFile> file_;
};

// Replaces the file at `path` with `bytes`, creating it when it does not
// exist. The bytes go to an unnamed file in the same folder (O_TMPFILE),
// which is linked into place once complete, so the target is either the old
// file or the complete new one, never a half-written one, and a run killed
// part way leaves nothing behind. File systems without unnamed files get a
// named temporary ".qv-tmp-<pid>-<hex>" beside the target instead; such names
// left by a killed run are removed by the next write into that folder (see
// removeStaleTemporaries). An existing target whose read-only attribute is
// set is not replaced. A write beyond the file-size limit (ulimit -f) fails
// like a full disk: SIGXFSZ is ignored from the first write on. Nothing of an
// earlier file
// (permissions, owner, links) is kept; a new file gets the usual permissions
// (0666 less the umask). The data is not flushed to the disk with fsync:
// that would multiply the cost of large outputs, and only a crash of the
// whole system could expose the difference.
// Throws RunError "Cannot create file <path>" on any failure, after removing
// the temporary file.
void writeFileAtomically(std::string_view path, std::string_view bytes);

// Removes the temporaries ".qv-tmp-<pid>-<16 hex digits>" in `folder` (a
// system path) whose writing process no longer exists; returns how many.
// Scans a folder once per process at most: later calls for the same folder
// return 0 at once.
std::size_t removeStaleTemporaries(const std::string& folder);

} // namespace qv
