#include "content/content_job.h"

#include "platform/code_page.h"
#include "platform/file_io.h"
#include "text/output_path.h"

namespace qv {

std::string programText(std::string_view utf8) { return CodePage::gbk().fromUtf8(utf8); }

std::string closingMessage(std::int64_t count, CountUnit unit)
{
    return programText("成功处理完成,共处理 ") + counterText(count) +
           programText(unit == CountUnit::Files ? " 个文件!" : " 条记录!");
}

std::string listSkippedFiles(const std::vector<SkippedFile>& skipped)
{
    std::string text;
    for (const SkippedFile& file : skipped) {
        if (!text.empty()) text += "\r\n";
        text += file.path;
    }
    return text;
}

FileVerdict processContentFile(const FileList& files, std::size_t row, const Transform& transform, Host& host,
                               text::LineList& source, text::LineList& output)
{
    const ContentFile file{files, row, files.fullPath(row)};
    source = readLineList(file.fullPath);
    output.clear();
    FileVerdict verdict = transform(source, file, output, host);
    if (!verdict.skip) writeLineList(text::outputPath(file.fullPath), output);
    return verdict;
}

JobOutcome runContentJob(Workspace& ws, Host& host, const ContentJob& job)
{
    JobOutcome outcome;
    if (!selectionCheck(ws, host)) return outcome;
    if (job.check) {
        if (auto refusal = job.check()) {
            host.showMessage(MessageKind::Error, refusal->message);
            outcome.status = JobOutcome::Status::Refused;
            outcome.refusal = std::move(refusal);
            return outcome;
        }
    }
    if (job.prepare) job.prepare();

    ws.counters.stChangeCount = 0;
    text::LineList source;
    text::LineList output;
    // The row count and the marks are read as the walk reaches them: events
    // processed between rows may change the list.
    for (std::size_t row = 1; !ws.files.isEmpty() && row <= ws.files.lastRow(); ++row) {
        host.processEvents();
        if (ws.files.isEmpty() || row > ws.files.lastRow() || !ws.files.isMarked(row)) continue;
        std::string path = ws.files.fullPath(row);
        FileVerdict verdict = processContentFile(ws.files, row, job.transform, host, source, output);
        if (verdict.skip) {
            outcome.skipped.push_back({std::move(path), std::move(verdict.reason)});
            continue;
        }
        ++ws.counters.stChangeCount;
        ++outcome.processed;
    }

    outcome.status = JobOutcome::Status::Done;
    host.showMessage(MessageKind::Information, closingMessage(ws.counters.stChangeCount, job.unit));
    if (!outcome.skipped.empty())
        host.showMessage(MessageKind::Information,
                         job.skippedMessage ? job.skippedMessage(outcome.skipped) : listSkippedFiles(outcome.skipped));
    return outcome;
}

} // namespace qv
