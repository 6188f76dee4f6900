#include "content/file_combine.h"

#include "platform/file_io.h"
#include "text/line_list.h"
#include "text/output_path.h"

#include <algorithm>
#include <string>

namespace qv {

OperationResult btnFileCombineClick(const FileCombineParams&, Workspace& ws, Host& host)
{
    OperationResult outcome;
    if (!selectionCheck(ws, host)) return outcome;

    ws.counters.stChangeCount = 0;
    std::size_t expectedBytes = 0;
    forEachMarkedRow(ws.files, [&](std::size_t row) {
        expectedBytes += static_cast<std::size_t>(std::max<std::int64_t>(ws.files.size(row), 0));
    });
    text::LineList combined;
    combined.reserve(0, expectedBytes);
    std::string lastPath;
    // The row count and the marks are read as the walk reaches them: events
    // processed between rows may change the list.
    const std::int64_t total = markedCount(ws.files);
    outcome.status = OperationResult::Status::Done;
    for (std::size_t row = 1; !ws.files.isEmpty() && row <= ws.files.lastRow(); ++row) {
        host.processEvents();
        if (host.stopRequested()) {
            // The one output holds every file or none: a stopped run writes
            // nothing and counts nothing.
            outcome.status = OperationResult::Status::Stopped;
            outcome.processed = 0;
            ws.counters.stChangeCount = 0;
            lastPath.clear();
            break;
        }
        if (ws.files.isEmpty() || row > ws.files.lastRow() || !ws.files.isMarked(row)) continue;
        std::string path = ws.files.fullPath(row);
        for (const std::string_view line : readLineList(path)) combined.append(line);
        ++ws.counters.stChangeCount;
        host.reportProgress(++outcome.processed, total);
        lastPath = std::move(path);
    }
    if (!lastPath.empty()) writeLineList(text::outputPath(lastPath), combined);
    host.showMessage(MessageKind::Information, closingMessage(ws.counters.stChangeCount));
    return outcome;
}

} // namespace qv
