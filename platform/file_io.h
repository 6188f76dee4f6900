#pragma once
// Whole-file reading and writing for the content operations.
//
// Paths are code page 936 byte strings, as the file list holds them; they are
// converted to UTF-8 for the operating system. A path that does not convert
// losslessly, or that holds a NUL byte, is refused rather than opened, so it
// never leads to another file. Errors are qv::RunError with the path as
// given, in code page 936.

#include "text/line_list.h"

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

// A file read block by block, opened by the rules of readFileBytes. Throws
// RunError "Cannot open file <path>" when it cannot be opened or read.
class FileReader {
public:
    explicit FileReader(std::string_view path);
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    ~FileReader();

    // The length the file had when it was opened (0 for files that report
    // none, such as those in /proc).
    std::uint64_t size() const { return size_; }
    // Reads up to `capacity` bytes into `buffer`; 0 at the end of the file.
    std::size_t read(char* buffer, std::size_t capacity);

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// An output file written piece by piece, with the guarantees of
// writeFileAtomically: the target changes only at commit(), and a writer
// destroyed without commit (a failed or stopped run) leaves nothing behind.
// Nothing is created before the first write() or commit(), so a writer that
// is never used costs nothing. Throws RunError "Cannot create file <path>".
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string_view path);
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();

    void write(std::string_view bytes);
    // Puts the complete file in place of the target.
    void commit();
    // Commits under another name instead; it must lie on the same file
    // system as the first target.
    void commitAs(std::string_view path);

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

// The file at `path` read as a line list (see text::LineList::fromBytes).
// Throws like readFileBytes.
text::LineList readLineList(std::string_view path);

// Writes `lines` to `path` as writeFileAtomically does, every line followed by
// CR LF. Streams through a small buffer, so it needs no second copy of the
// content in memory.
void writeLineList(std::string_view path, const text::LineList& lines);

} // namespace qv
