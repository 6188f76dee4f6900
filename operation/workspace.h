#pragma once
// The workspace: the window's state that the file list, the search, sorting
// and the operations share. Each front end owns one; it lives as long as the
// front end and starts every time from the same defaults.

#include "filelist/file_list.h"
#include "filelist/random_index.h"

#include <cstdint>
#include <string>

namespace qv {

class Host;

// The three status counters, held as integers; a front end shows each as its
// decimal text (counterText).
struct StatusCounters {
    std::int64_t stSrcCount = 0;    // entries in the file list
    std::int64_t stChangeCount = 0; // files processed by the latest operation run
    std::int64_t stDeleteCount = 0; // files deleted by the latest delete that deleted any
};

std::string counterText(std::int64_t value);

struct Workspace {
    FileList files;
    StatusCounters counters;
    // Flipped on every mouse release over the grid; true sorts ascending.
    bool sortAscending = false;
    // The mask and folder the running search is working on.
    std::string currentTypeMask;
    std::string currentSearchFolder;
    // The program's one pseudo-random generator, seeded when the workspace
    // is made.
    RandomIndex random = RandomIndex::seededFromClock();
};

// True when the list holds an entry and at least one row is marked. Otherwise
// shows "没有源文件，请搜索后再试！" (empty list, even with the placeholder
// marked) or "请先选择文件！" (nothing marked) as an error and returns false.
// Cost: O(rows) in the worst case, scanning up from the last row.
bool selectionCheck(const Workspace& ws, Host& host);

// The mark commands act on every row from 1 to the last, the placeholder
// row included when the list is empty.
void btnSelAllClick(Workspace& ws);
void btnDeSelAllClick(Workspace& ws);
void btnInverseClick(Workspace& ws);

// Removes the marked entries from the list (files stay on disk) and lowers
// stSrcCount by one per entry removed. The entries that move up keep their
// own marks. Does nothing on an empty list.
void btnDelClick(Workspace& ws);

// The first two marked rows in display order; found is false when fewer
// than two rows of the list are marked.
struct TwoFilePick {
    bool found = false;
    std::size_t first = 0;
    std::size_t second = 0;
};
TwoFilePick pickTwoFiles(const FileList& files);

// Calls `visit(row)` for each marked row from 1 to the last in display order.
// The row count and each mark are read as the walk reaches them, so a visit
// that changes the list affects the rest of the walk.
template <typename Visit> void forEachMarkedRow(const FileList& files, Visit&& visit)
{
    for (std::size_t row = 1; row <= files.lastRow() && !files.isEmpty(); ++row)
        if (files.isMarked(row)) visit(row);
}

} // namespace qv
