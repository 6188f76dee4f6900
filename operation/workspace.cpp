#include "operation/workspace.h"

#include "operation/host.h"
#include "platform/code_page.h"

namespace qv {

std::string counterText(std::int64_t value)
{
    return std::to_string(value);
}

bool selectionCheck(const Workspace& ws, Host& host)
{
    if (ws.files.isEmpty()) {
        host.showMessage(MessageKind::Error, CodePage::gbk().fromUtf8("没有源文件，请搜索后再试！"));
        return false;
    }
    for (std::size_t row = ws.files.lastRow(); row >= 1; --row)
        if (ws.files.isMarked(row)) return true;
    host.showMessage(MessageKind::Error, CodePage::gbk().fromUtf8("请先选择文件！"));
    return false;
}

void btnSelAllClick(Workspace& ws)
{
    ws.files.setMarks(1, ws.files.lastRow(), true);
}

void btnDeSelAllClick(Workspace& ws)
{
    ws.files.setMarks(1, ws.files.lastRow(), false);
}

void btnInverseClick(Workspace& ws)
{
    ws.files.flipMarks(1, ws.files.lastRow());
}

void btnDelClick(Workspace& ws)
{
    if (ws.files.isEmpty()) return;
    ws.counters.stSrcCount -= static_cast<std::int64_t>(ws.files.removeMarkedRows());
}

TwoFilePick pickTwoFiles(const FileList& files)
{
    TwoFilePick pick;
    if (files.isEmpty()) return pick;
    for (std::size_t row = 1; row <= files.lastRow(); ++row) {
        if (!files.isMarked(row)) continue;
        if (pick.first == 0) {
            pick.first = row;
        } else {
            pick.second = row;
            pick.found = true;
            break;
        }
    }
    return pick;
}

} // namespace qv
