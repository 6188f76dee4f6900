#include "window/mouse_release.h"

#include "filelist/sort.h"
#include "operation/workspace.h"

namespace qv {

void sgFilesMouseUp(Workspace& ws, std::optional<GridCell> underPointer, GridCell current)
{
    ws.sortAscending = !ws.sortAscending;
    if (!underPointer) return;
    if (underPointer->row == 0) {
        sortFileList(ws.files, underPointer->column, ws.sortAscending);
        return;
    }
    if (current.column == NameColumn && current.row >= 1 && current.row <= ws.files.lastRow())
        ws.files.flipMark(current.row);
}

} // namespace qv
