#include "content/content_job.h"

#include "content/run_sources.h"
#include "platform/disk_name.h"

#include "operation/run_loop.h"
#include "platform/code_page.h"
#include "text/line_scanner.h"
#include "text/output_path.h"
#include "text/written_form.h"

#include <memory>

namespace qv {

std::string closingMessage(std::int64_t count, CountUnit unit)
{
    return programText("成功处理完成,共处理 ") + counterText(count) +
           programText(unit == CountUnit::Files ? " 个文件!" : " 条记录!");
}

std::string outputDiskPath(std::string_view sourceDiskPath)
{
    return diskPathBeside(sourceDiskPath, text::outputPath(nameTextOf(sourceDiskPath)));
}

FileVerdict processContentFile(const FileList& files, std::size_t row, const Transform& transform, Host& host,
                               FileSystem& fs, text::LineList& source, text::LineList& output)
{
    const ContentFile file{files, row, files.shownPath(row), files.fullPath(row)};
    source = fs.readLineList(file.diskPath);
    output.clear();
    FileVerdict verdict = transform(source, file, output, host);
    if (!verdict.skip) fs.writeLineList(outputDiskPath(file.diskPath), output);
    return verdict;
}

namespace {

// Reads the file at `sourcePath` in blocks of `blockSize` bytes and hands
// each to onBlock(block, out), which appends output to `out`; whenever `out`
// has grown to a block, it goes to `writer`. Before each block it processes
// events and checks for a stop request (false when stopped), after it
// reports the bytes done. onEnd(out) closes the output.
template <typename OnBlock, typename OnEnd>
bool streamBlocks(const FileSystem& fs, std::string_view sourcePath, AtomicFileWriter& writer, Host& host,
                  std::size_t blockSize, OnBlock&& onBlock, OnEnd&& onEnd)
{
    const std::unique_ptr<FileReader> reader = fs.openForReading(sourcePath);
    const auto block = std::make_unique<char[]>(blockSize);
    std::string out;
    out.reserve(2 * blockSize);
    std::uint64_t done = 0;
    for (;;) {
        host.processEvents();
        if (host.stopRequested()) return false;
        const std::size_t got = reader->read(block.get(), blockSize);
        if (got == 0) break;
        if (!onBlock(std::string_view(block.get(), got), out)) break;
        if (out.size() >= blockSize) {
            writer.write(out);
            out.clear();
        }
        done += got;
        host.reportFileProgress(done, reader->size());
    }
    if (reader->changedSinceOpened()) throw FileChangedWhileRead(sourcePath);
    onEnd(out);
    writer.write(out);
    return true;
}

} // namespace

bool streamLines(const FileSystem& fs, std::string_view sourcePath, const LineTransform& transform,
                 AtomicFileWriter& writer, Host& host, std::size_t blockSize)
{
    text::LineScanner scanner;
    return streamBlocks(
        fs, sourcePath, writer, host, blockSize,
        [&](std::string_view block, std::string& out) {
            scanner.feed(block, [&](std::string_view line) { transform(line, out); });
            return !scanner.ended();
        },
        [&](std::string& out) { scanner.finish([&](std::string_view line) { transform(line, out); }); });
}

bool streamWrittenForm(const FileSystem& fs, std::string_view sourcePath, AtomicFileWriter& writer, Host& host,
                       std::size_t blockSize)
{
    text::WrittenFormCopier copier;
    return streamBlocks(
        fs, sourcePath, writer, host, blockSize,
        [&](std::string_view block, std::string& out) {
            copier.feed(block, out);
            return !copier.ended();
        },
        [&](std::string& out) { copier.finish(out); });
}

namespace {

// One file of a run: streamed when the job has a per-line form for it, else
// through the whole-file transform. Nothing when the user stopped the run
// part way through the file.
std::optional<FileVerdict> processFile(const FileList& files, std::size_t row, const ContentJob& job, Host& host,
                                       FileSystem& fs, text::LineList& source, text::LineList& output)
{
    if (job.perLine) {
        const ContentFile file{files, row, files.shownPath(row), files.fullPath(row)};
        if (const LineTransform transform = job.perLine(file)) {
            const std::unique_ptr<AtomicFileWriter> writer = fs.createAtomically(outputDiskPath(file.diskPath));
            try {
                if (!streamLines(fs, file.diskPath, transform, *writer, host)) return std::nullopt;
            } catch (SkipFile& skip) {
                return FileVerdict::skipped(std::move(skip.reason)); // the writer leaves nothing behind
            }
            writer->commit();
            return FileVerdict::written();
        }
    }
    return processContentFile(files, row, job.transform, host, fs, source, output);
}

} // namespace

OperationResult runContentJob(Workspace& ws, Host& host, FileSystem& fs, const ContentJob& job)
{
    OperationResult result;
    if (!selectionCheck(ws, host)) return result;
    if (job.check)
        if (auto refusal = job.check()) return refuse(host, std::move(*refusal));
    if (job.prepare) job.prepare();

    // Every source is known before the first file is read: an output that
    // would replace one of them is not written.
    const RunSources sources(ws.files);
    RunLoop run(ws, host, result, markedCount(ws.files));
    text::LineList source;
    text::LineList output;
    walkMarkedRows(ws.files, run, [&](std::size_t row) {
        std::string path = ws.files.fullPath(row);
        std::optional<FileVerdict> verdict;
        if (sources.holds(outputDiskPath(path))) {
            verdict = FileVerdict::skipped(outputIsSourceReason());
        } else {
            try {
                verdict = processFile(ws.files, row, job, host, fs, source, output);
            } catch (const FileChangedWhileRead&) {
                verdict = FileVerdict::skipped(fileChangedReason()); // its output was never put in place
            }
        }
        if (!verdict) return false;
        run.advance();
        if (verdict->skip)
            run.skipped(std::move(path), std::move(verdict->reason));
        else
            run.processed();
        return true;
    });
    showClosing(host, closingMessage(ws.counters.stChangeCount, job.unit), result);
    return result;
}

} // namespace qv
