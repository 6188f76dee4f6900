#include "content/file_combine.h"

#include "content/run_sources.h"
#include "operation/run_loop.h"

#include <string>

namespace qv {

OperationResult btnFileCombineClick(const FileCombineParams&, Workspace& ws, Host& host, FileSystem& fs)
{
    OperationResult outcome;
    if (!selectionCheck(ws, host)) return outcome;

    std::string lastMarked;
    forEachMarkedRow(ws.files, [&](std::size_t row) { lastMarked = ws.files.fullPath(row); });
    if (RunSources(ws.files).holds(outputDiskPath(lastMarked))) {
        // The one output would replace one of the files it is made of.
        RunLoop run(ws, host, outcome, 0);
        run.skipped(lastMarked, outputIsSourceReason());
        showClosing(host, closingMessage(ws.counters.stChangeCount), outcome);
        return outcome;
    }
    // Every file streams straight into the one output; it is put in place
    // only once the last file is in, under the name of the last file read
    // (events processed between rows may have changed the list).
    const std::unique_ptr<AtomicFileWriter> output = fs.createAtomically(outputDiskPath(lastMarked));
    std::string lastPath;
    RunLoop run(ws, host, outcome, markedCount(ws.files));
    walkMarkedRows(ws.files, run, [&](std::size_t row) {
        std::string path = ws.files.fullPath(row);
        try {
            if (!streamWrittenForm(fs, path, *output, host)) return false;
        } catch (const FileChangedWhileRead&) {
            // What went into the output may be cut short: nothing is written.
            run.skipped(path, fileChangedReason());
            return false;
        }
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
    if (!outcome.skipped.empty()) outcome.status = OperationResult::Status::Done; // ended by the changed file
    showClosing(host, closingMessage(ws.counters.stChangeCount), outcome);
    return outcome;
}

} // namespace qv
