#include "content/file_combine.h"

#include "platform/file_io.h"
#include "text/output_path.h"

#include <string>

namespace qv {

OperationResult btnFileCombineClick(const FileCombineParams&, Workspace& ws, Host& host)
{
    OperationResult outcome;
    if (!selectionCheck(ws, host)) return outcome;

    ws.counters.stChangeCount = 0;
    std::string lastMarked;
    forEachMarkedRow(ws.files, [&](std::size_t row) { lastMarked = ws.files.fullPath(row); });
    // Every file streams straight into the one output; it is put in place
    // only once the last file is in, under the name of the last file read
    // (events processed between rows may have changed the list).
    AtomicFileWriter output(text::outputPath(lastMarked));
    std::string lastPath;
    const std::int64_t total = markedCount(ws.files);
    outcome.marked = total;
    bool stopped = false;
    for (std::size_t row = 1; !ws.files.isEmpty() && row <= ws.files.lastRow(); ++row) {
        host.processEvents();
        if ((stopped = host.stopRequested())) break;
        if (ws.files.isEmpty() || row > ws.files.lastRow() || !ws.files.isMarked(row)) continue;
        std::string path = ws.files.fullPath(row);
        if ((stopped = !streamWrittenForm(path, output, host))) break;
        ++ws.counters.stChangeCount;
        host.reportProgress(++outcome.processed, total);
        lastPath = std::move(path);
    }
    outcome.status = stopped ? OperationResult::Status::Stopped : OperationResult::Status::Done;
    if (stopped) {
        // The one output holds every file or none: a stopped run writes
        // nothing and counts nothing.
        outcome.processed = 0;
        ws.counters.stChangeCount = 0;
    } else if (!lastPath.empty()) {
        output.commitAs(text::outputPath(lastPath));
    }
    host.showMessage(MessageKind::Information, withStopNotice(closingMessage(ws.counters.stChangeCount), outcome));
    return outcome;
}

} // namespace qv
