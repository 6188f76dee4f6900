#pragma once
// The walk every operation run makes over its files. Before each file it lets
// the front end process pending events and asks whether the user wants to
// stop; after each it reports progress; and it keeps the run's tally: the
// files processed (stChangeCount and the result) and those left alone, with
// the reason.
//
// A run makes one RunLoop once its checks have passed, walks its files with
// walkMarkedRows or walkItems, and then shows its closing message from the
// result.

#include "filelist/file_list.h"
#include "operation/operation.h"
#include "operation/workspace.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace qv {

// Planned changes a run tells the file system ahead at once, and the undo
// journal makes durable with one flush: few enough fdatasync calls that
// journaling costs little next to the changes, few enough records that a run
// killed between flush and changes leaves little to sort out.
constexpr std::size_t changesPerBatch = 1024;

class RunLoop {
public:
    // Starts a run over `total` files (the progress total; 0 when unknown):
    // stChangeCount goes to 0 and the result's status to Done.
    RunLoop(Workspace& ws, Host& host, OperationResult& result, std::int64_t total);

    // Processes pending events, then tells whether to go on with the next
    // file: false once the user has asked to stop, the status then Stopped.
    bool goOn();
    // Ends the run as stopped: the user stopped it within a file.
    void stop() { result_.status = OperationResult::Status::Stopped; }
    bool stopped() const { return result_.status == OperationResult::Status::Stopped; }

    // The current file was processed: counted in stChangeCount and the result.
    void processed();
    // The file at the disk path `path` was left alone for `reason` (code
    // page 936); the list names it by its text (shownPath).
    void skipped(std::string_view path, std::string reason);
    // One more file is done: reports the progress.
    void advance();

private:
    Workspace& ws_;
    Host& host_;
    OperationResult& result_;
    std::int64_t total_;
    std::int64_t done_ = 0;
};

// Walks the rows of `files` from 1 to the last in display order, with
// run.goOn() before each row, and calls step(row) for every marked row; a
// step returns false when the user stopped within its file, which ends the
// walk as stopped. The row count and each mark are read as the walk reaches
// them: events processed between rows may change the list.
template <typename Step> void walkMarkedRows(const FileList& files, RunLoop& run, Step&& step)
{
    for (std::size_t row = 1; !files.isEmpty() && row <= files.lastRow(); ++row) {
        if (!run.goOn()) return;
        if (files.isEmpty() || row > files.lastRow() || !files.isMarked(row)) continue;
        if (!step(row)) {
            run.stop();
            return;
        }
    }
}

// Calls step(item) for each of `items` in order, with run.goOn() before each:
// for runs that fix their list of files (a plan, the marked entries) first.
template <typename Items, typename Step> void walkItems(const Items& items, RunLoop& run, Step&& step)
{
    for (const auto& item : items) {
        if (!run.goOn()) return;
        step(item);
    }
}

} // namespace qv
