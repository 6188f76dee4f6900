#include "content/file_combine.h"

#include "operation/run_loop.h"
#include "text/output_path.h"

#include <string>

namespace qv {

OperationResult btnFileCombineClick(const FileCombineParams&, Workspace& ws, Host& host, FileSystem& fs)
{
    OperationResult outcome;
    if (!selectionCheck(ws, host)) return outcome;

    std::string lastMarked;
    forEachMarkedRow(ws.files, [&](std::size_t row) { lastMarked = ws.files.fullPath(row); });
    // Every file streams straight into the one output; it is put in place
    // only once the last file is in, under the name of the last file read
    // (events processed between rows may have changed the list).
    const std::unique_ptr<AtomicFileWriter> output = fs.createAtomically(outputDiskPath(lastMarked));
    std::string lastPath;
    RunLoop run(ws, host, outcome, markedCount(ws.files));
    walkMarkedRows(ws.files, run, [&](std::size_t row) {
        std::string path = ws.files.fullPath(row);
        if (!streamWrittenForm(fs, path, *output, host)) return false;
        run.processed();
        run.advance();
        lastPath = std::move(path);
        return true;
    });
    if (run.stopped()) {
        // The one output holds every file or none: a stopped run writes
        // nothing and counts nothing.
        outcome.processed = 0;
        ws.counters.stChangeCount = 0;
    } else if (!lastPath.empty()) {
        output->commitAs(outputDiskPath(lastPath));
    }
    host.showMessage(MessageKind::Information, closingMessage(ws.counters.stChangeCount));
    return outcome;
}

} // namespace qv
