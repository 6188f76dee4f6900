#include "content/content_preview.h"

#include "content/run_sources.h"
#include "operation/workspace.h"
#include "text/output_path.h"
#include "text/run_error.h"

#include <algorithm>

namespace qv {
namespace {

// Collects the output in memory and tells, through the host's stop request,
// when it holds the lines shown, so that a streamed transform ends there.
class PreviewOutput final : public AtomicFileWriter, public Host {
public:
    explicit PreviewOutput(std::size_t maxLines) : maxLines_(maxLines) { }

    void write(std::string_view bytes) override
    {
        bytes_.append(bytes);
        breaks_ += static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    }
    // `transform` with its output collected here rather than in the
    // stream's buffer, so that the stop request comes as soon as the lines
    // are made (before the next block is read), not only once the buffer
    // is written.
    LineTransform collecting(LineTransform transform)
    {
        return [this, transform = std::move(transform)](std::string_view line, std::string&) {
            const std::size_t before = bytes_.size();
            transform(line, bytes_);
            breaks_ += static_cast<std::size_t>(
                std::count(bytes_.begin() + static_cast<std::ptrdiff_t>(before), bytes_.end(), '\n'));
        };
    }
    void commit() override { }
    void commitAs(std::string_view) override { }

    void showMessage(MessageKind, std::string_view) override { }
    bool ask(std::string_view) override { return false; }
    std::optional<std::string> chooseSavePath(std::string_view) override { return std::nullopt; }
    void processEvents() override { }
    void reportProgress(std::int64_t, std::int64_t) override { }
    bool stopRequested() override { return breaks_ > maxLines_; }

    // The first lines written; `complete` tells whether they are all.
    std::vector<std::string> lines(bool& complete) const
    {
        return firstLines(text::LineList::fromBytes(bytes_), maxLines_, complete);
    }

    static std::vector<std::string> firstLines(const text::LineList& all, std::size_t maxLines, bool& complete)
    {
        complete = all.size() <= maxLines;
        std::vector<std::string> out;
        for (std::size_t i = 0; i < std::min(all.size(), maxLines); ++i) out.emplace_back(all[i]);
        return out;
    }

private:
    std::size_t maxLines_;
    std::string bytes_;
    std::size_t breaks_ = 0;
};

void previewFile(const ContentJob& job, const ContentFile& file, const FileSystem& fs, std::size_t maxLines,
                 ContentPreview& preview)
{
    PreviewOutput output(maxLines);
    try {
        if (const LineTransform transform = job.perLine ? job.perLine(file) : LineTransform()) {
            const bool whole = streamLines(fs, file.fullPath, output.collecting(transform), output, output);
            preview.lines = output.lines(preview.complete);
            preview.complete = preview.complete && whole;
            return;
        }
        const text::LineList source = fs.readLineList(file.fullPath);
        text::LineList lines;
        const FileVerdict verdict = job.transform(source, file, lines, output);
        if (verdict.skip) preview.skipReason = verdict.reason;
        preview.lines = PreviewOutput::firstLines(lines, maxLines, preview.complete);
    } catch (SkipFile& skip) {
        preview.skipReason = std::move(skip.reason);
    } catch (const FileChangedWhileRead&) {
        preview.skipReason = fileChangedReason();
    }
}

} // namespace

ContentPreview previewContentJob(const ContentJob& job, const FileList& files, std::size_t row, const FileSystem& fs,
                                 std::size_t maxLines)
{
    ContentPreview preview;
    try {
        if (job.check)
            if (auto refusal = job.check()) {
                preview.refusal = std::move(refusal);
                return preview;
            }
        if (job.prepare) job.prepare();
        const ContentFile file{files, row, files.shownPath(row), files.fullPath(row)};
        preview.outputPath = outputDiskPath(file.diskPath);
        if (RunSources(files).holds(preview.outputPath)) {
            preview.skipReason = outputIsSourceReason();
            return preview;
        }
        previewFile(job, file, fs, maxLines, preview);
    } catch (const RunError& error) {
        preview = ContentPreview{};
        preview.refusal = Refusal{error.what(), ""};
    }
    return preview;
}

ContentPreview previewCombine(const FileList& files, const FileSystem& fs, std::size_t maxLines)
{
    ContentPreview preview;
    std::string lastMarked;
    forEachMarkedRow(files, [&](std::size_t row) { lastMarked = files.fullPath(row); });
    if (lastMarked.empty()) return preview;
    preview.outputPath = outputDiskPath(lastMarked);
    if (RunSources(files).holds(preview.outputPath)) {
        preview.skipReason = outputIsSourceReason();
        return preview;
    }
    PreviewOutput output(maxLines);
    bool whole = true;
    try {
        forEachMarkedRow(files, [&](std::size_t row) {
            if (whole) whole = streamWrittenForm(fs, files.fullPath(row), output, output);
        });
    } catch (const FileChangedWhileRead&) {
        preview.skipReason = fileChangedReason();
        return preview;
    } catch (const RunError& error) {
        preview = ContentPreview{};
        preview.refusal = Refusal{error.what(), ""};
        return preview;
    }
    preview.lines = output.lines(preview.complete);
    preview.complete = preview.complete && whole;
    return preview;
}

ContentPreview previewTwoFiles(const FileList& files, const FileSystem& fs, std::size_t maxLines,
                               const TwoFileMerge& merge)
{
    ContentPreview preview;
    const TwoFilePick pick = pickTwoFiles(files);
    const std::string target = files.fullPath(pick.second);
    preview.outputPath = outputDiskPath(target);
    if (RunSources(files).holds(preview.outputPath)) {
        preview.skipReason = outputIsSourceReason();
        return preview;
    }
    PreviewOutput host(maxLines);
    try {
        const text::LineList merged = merge(fs.readLineList(files.fullPath(pick.first)), fs.readLineList(target), host);
        preview.lines = PreviewOutput::firstLines(merged, maxLines, preview.complete);
    } catch (const FileChangedWhileRead&) {
        preview.skipReason = fileChangedReason();
    } catch (const RunError& error) {
        preview = ContentPreview{};
        preview.refusal = Refusal{error.what(), ""};
    }
    return preview;
}

std::vector<std::string> previewSourceLines(const FileSystem& fs, std::string_view path, std::size_t maxLines)
{
    PreviewOutput output(maxLines);
    try {
        streamLines(fs, path, output.collecting([](std::string_view line, std::string& out) { appendLine(out, line); }),
                    output, output);
    } catch (const RunError&) {
        return {};
    }
    bool complete = false;
    return output.lines(complete);
}

} // namespace qv
