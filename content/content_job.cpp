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

OperationResult runContentJob(Workspace& ws, Host& host, const ContentJob& job)
{
    OperationResult result;
    if (!selectionCheck(ws, host)) return result;
    if (job.check)
        if (auto refusal = job.check()) return refuse(host, std::move(*refusal));
    if (job.prepare) job.prepare();

    ws.counters.stChangeCount = 0;
    result.status = OperationResult::Status::Done;
    const std::int64_t total = markedCount(ws.files);
    std::int64_t done = 0;
    text::LineList source;
    text::LineList output;
    // The row count and the marks are read as the walk reaches them: events
    // processed between rows may change the list.
    for (std::size_t row = 1; !ws.files.isEmpty() && row <= ws.files.lastRow(); ++row) {
        host.processEvents();
        if (host.stopRequested()) {
            result.status = OperationResult::Status::Stopped;
            break;
        }
        if (ws.files.isEmpty() || row > ws.files.lastRow() || !ws.files.isMarked(row)) continue;
        std::string path = ws.files.fullPath(row);
        FileVerdict verdict = processContentFile(ws.files, row, job.transform, host, source, output);
        host.reportProgress(++done, total);
        if (verdict.skip) {
            result.skipped.push_back({std::move(path), std::move(verdict.reason)});
            continue;
        }
        ++ws.counters.stChangeCount;
        ++result.processed;
    }
    showClosing(host, closingMessage(ws.counters.stChangeCount, job.unit), result.skipped);
    return result;
}

} // namespace qv
