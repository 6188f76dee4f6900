#pragma once
// What a mouse release over the file-list grid does, for any button.

#include <cstddef>
#include <optional>

namespace qv {

struct Workspace;

struct GridCell {
    std::size_t row = 0;
    int column = 0;
};

// 1. Flips the sort direction flag, whatever the pointer is over.
// 2. When the pointer is over a header cell (row 0), sorts by that cell's
//    column with the flag's new value.
// 3. When the pointer is over a data cell and the grid's current cell is a
//    name cell (column 0) of a data row, flips that row's mark.
// So a click on a name cell toggles its mark, a click on another data cell
// changes nothing, and a header click only sorts: it never touches a mark
// (the current cell may be scrolled out of sight). `underPointer` is empty
// when the pointer is over no cell; then only the flag flips. Rows outside
// the grid are ignored.
void sgFilesMouseUp(Workspace& ws, std::optional<GridCell> underPointer, GridCell current);

} // namespace qv
