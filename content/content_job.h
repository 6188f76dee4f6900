#pragma once
// The content job: the frame every line-oriented content operation runs in.
//
// A run checks the selection and the operation's parameters, reads the run
// parameters, sets stChangeCount to 0, then for every marked row in display
// order processes pending events, reads the entry's file into a line list,
// lets the operation's transform build the output lines, writes them to the
// output file beside the source (".qv" before the last "." of the name,
// written to a temporary file and renamed into place) and adds one to
// stChangeCount. It ends with "成功处理完成,共处理 N 个文件!" as information.
//
// A file is left alone, listed with its reason, when its output would
// replace a source of the same run (any marked entry, see RunSources), and
// when it changed while it was read (FileChangedWhileRead): then no output is
// put in place, since what was read may be cut short.
//
// Run errors (a file that cannot be read or written, an integer field that
// does not convert) are qv::RunError and propagate to the caller, which shows
// them as the general error report: the output files written before stay,
// stChangeCount tells how many, and no closing message is shown.
//
// A job with a per-line form streams instead: the file is read block by
// block, each line goes through the per-line transform, and the output is
// written through one buffer to the temporary that becomes the output file.
// Events, progress (bytes of the file) and the stop request are handled once
// per block; a file stopped part way gets no output and is not counted.
//
// Memory: streamed, a block, the output buffer and the longest line, whatever
// the file's size; otherwise one file at a time, held as its source list and
// its output list (each about the file's size plus 8 bytes per line), both
// reused from file to file.

#include "operation/host.h"
#include "operation/operation.h"
#include "operation/workspace.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "text/line_list.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// What a transform knows of the file it works on: the row of the file list
// and the entry's full path (folder, "/", name) as text, for ${fullname}.
struct ContentFile {
    const FileList& files;
    std::size_t row;
    std::string fullPath;
    std::string diskPath; // the path as written on disk, for the file system

    std::string_view name() const { return files.name(row); }
    // A cell of the row (NameColumn ... TypeColumn), as the grid shows it.
    std::string cell(int column) const { return files.cell(row, column); }
};

// A transform's verdict on one file: its output is written and counted, or
// it is skipped (no output, not counted) for the given reason.
struct FileVerdict {
    bool skip = false;
    std::string reason; // code page 936; only meaningful when skip is set

    static FileVerdict written() { return {}; }
    static FileVerdict skipped(std::string why) { return {true, std::move(why)}; }
};

// Builds `output` (handed over empty) from `source`, the freshly read lines
// of `file`. Transforms that loop over lines call host.processEvents() once
// before each line. May throw RunError.
using Transform = std::function<FileVerdict(const text::LineList& source, const ContentFile& file,
                                            text::LineList& output, Host& host)>;

// The per-line form of a transform, made for one file: given the file's
// lines in order, appends the output to `out`, every output line followed by
// CR LF. Per-file state (a line counter, a serial number) lives in it. May
// throw RunError.
using LineTransform = std::function<void(std::string_view line, std::string& out)>;

// Appends `line` and its CR LF break to `out`.
inline void appendLine(std::string& out, std::string_view line)
{
    out.append(line);
    out.push_back('\r'); // inlined, unlike a two-byte append
    out.push_back('\n');
}

// Thrown by a line transform that finds its file cannot be handled at all
// (say, text that is not the encoding it should be): the file gets no
// output, is not counted and is listed as skipped for `reason` (code page
// 936).
struct SkipFile {
    std::string reason;
};

// Gives the per-line transform for `file`, or an empty function when this
// file needs the whole-file transform.
using LineTransformFactory = std::function<LineTransform(const ContentFile& file)>;

// The size of the blocks a streamed file is read in, and of the output
// buffer that collects what they give before it is written.
constexpr std::size_t streamBlockSize = std::size_t{256} << 10;

// What the closing message counts: " 个文件!" or " 条记录!".
enum class CountUnit { Files, Records };

// One operation as the job runs it. `transform` or `perLine` is required.
struct ContentJob {
    // The operation's parameter checks, in their order: the first refusal, or
    // nothing when all pass. Runs after the selection check and before
    // anything is read.
    std::function<std::optional<Refusal>()> check;
    // Reads the run parameters (integer fields, tokens); may throw RunError,
    // which ends the run before stChangeCount is touched or anything is read.
    std::function<void()> prepare;
    Transform transform;
    // When set, files for which it gives a transform are streamed.
    LineTransformFactory perLine;
    CountUnit unit = CountUnit::Files;
};

// Runs `job` over the marked entries of `ws`, as described at the top,
// reading and writing every file through `fs`.
// Refusals are shown through `host` as errors and returned; run errors
// propagate as RunError. Between files the run reports progress (files done
// of the marked total) and ends early, with status Stopped, when the user
// asked to stop: the files written so far stay, the closing message counts
// them, and no file is left half-written.
OperationResult runContentJob(Workspace& ws, Host& host, FileSystem& fs, const ContentJob& job);

// The per-file step, for operations that walk the rows themselves: reads the
// file of `row` into `source`, clears `output`, applies `transform` and
// writes the output file unless the transform skips the file. Does not
// process events and does not touch the counters. Throws RunError.
FileVerdict processContentFile(const FileList& files, std::size_t row, const Transform& transform, Host& host,
                               FileSystem& fs, text::LineList& source, text::LineList& output);

// Reads the file at `sourcePath` (through `fs`) in blocks of `blockSize` bytes, hands its
// lines (see text::LineScanner) to `transform` and writes the output to
// `writer`, which it does not commit. Before each block it processes events
// and checks for a stop request, after it reports the bytes done; returns
// false when stopped, the writer then holding part of the output. Throws
// RunError when the file cannot be read or the output written.
bool streamLines(const FileSystem& fs, std::string_view sourcePath, const LineTransform& transform,
                 AtomicFileWriter& writer, Host& host, std::size_t blockSize = streamBlockSize);

// Streams the file at `sourcePath` to `writer` as its written form (see
// text::WrittenFormCopier): what streamLines gives with a transform that
// copies every line, without cutting the text into lines. Same events,
// progress, stop and errors as streamLines.
bool streamWrittenForm(const FileSystem& fs, std::string_view sourcePath, AtomicFileWriter& writer, Host& host,
                       std::size_t blockSize = streamBlockSize);

// "成功处理完成,共处理 " + count + " 个文件!" (or " 条记录!"), code page 936.
std::string closingMessage(std::int64_t count, CountUnit unit = CountUnit::Files);

// The output file beside the source at `sourceDiskPath`: the source's folder
// as written on disk, and text::outputPath of the source's name written in
// UTF-8 (a source named in code page 936 bytes gets a UTF-8 output name).
std::string outputDiskPath(std::string_view sourceDiskPath);

} // namespace qv
