#include "fileops/change_extension.h"

#include "fileops/new_name.h"
#include "fileops/run_report.h"
#include "filelist/host.h"
#include "platform/code_page.h"
#include "text/bytes.h"

namespace qv {

void btnExtClick(const ExtensionParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return;
    std::string templ = text::lower(text::trim(params.edtNewExt));
    if (templ.empty() || templ == "${ext}") {
        host.showMessage(MessageKind::Error, CodePage::gbk().fromUtf8("请输入新扩展名格式！"));
        return;
    }
    ws.counters.stChangeCount = 0;
    if (templ.front() != '.') templ.insert(0, ".");

    std::int64_t unsafe = 0;
    for (std::size_t row = 1; row <= ws.files.lastRow() && !ws.files.isEmpty(); ++row) {
        if (!ws.files.isMarked(row)) continue;
        const std::string name(ws.files.name(row));
        const std::string_view oldType = typeOf(name);
        const std::string_view oldExtension = oldType.empty() ? oldType : oldType.substr(1);

        const std::string newName = std::string(baseNameOf(name)) + text::replaceAll(templ, "${ext}", oldExtension);
        if (renameRow(ws, fs, row, newName) == RenameOutcome::UnsafeName) ++unsafe;
    }
    tellLeftAlone(host, LeftAlone::UnsafeExtension, unsafe);
    showClosingMessage(host, ws);
}

} // namespace qv
