#include "fileops/file_attributes.h"

#include "fileops/run_report.h"
#include "filelist/host.h"
#include "platform/code_page.h"

#include <string>

namespace qv {

std::uint32_t attributeValue(const AttributeParams& params)
{
    return (params.ckNormal ? attr::archive : 0) | (params.ckSystem ? attr::system : 0) |
           (params.ckReadonly ? attr::readOnly : 0) | (params.ckHidden ? attr::hidden : 0);
}

void btnPropClick(const AttributeParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return;
    const std::uint32_t attributes = attributeValue(params);
    if (attributes == 0) {
        host.showMessage(MessageKind::Error, CodePage::gbk().fromUtf8("请选择新的属性！"));
        return;
    }
    ws.counters.stChangeCount = 0;
    std::string lastFolder;
    std::int64_t notStored = 0;
    std::int64_t links = 0;

    for (std::size_t row = 1; row <= ws.files.lastRow() && !ws.files.isEmpty(); ++row) {
        if (!ws.files.isMarked(row)) continue;
        const FsStatus status = fs.setAttributes(ws.files.fullPath(row), attributes);
        if (status == FsStatus::Ok) ++ws.counters.stChangeCount;
        else if (status == FsStatus::NotSupported) ++notStored;
        else if (status == FsStatus::SymbolicLink) ++links;
        if (params.chkDirProp && ws.files.folder(row) != lastFolder) {
            const std::string folder(ws.files.folder(row));
            if (fs.setAttributes(folder, attributes) == FsStatus::Ok) lastFolder = folder;
        }
    }
    tellLeftAlone(host, LeftAlone::AttributesNotStored, notStored);
    tellLeftAlone(host, LeftAlone::LinkAttributes, links);
    showClosingMessage(host, ws);
}

} // namespace qv
