#include "content/file_stats.h"

#include "content/content_job.h"

#include <algorithm>

namespace qv {

FileStats countLines(const text::LineList& lines, std::int64_t fileSize, Host& host)
{
    FileStats stats;
    stats.edtFileSize = fileSize;
    stats.edtAllLine = static_cast<std::int64_t>(lines.size());
    for (const std::string_view line : lines) {
        host.processEvents();
        const auto length = static_cast<std::int64_t>(line.size());
        if (length == 0) {
            ++stats.edtEmptyLine;
            continue;
        }
        ++stats.edtDataLine;
        stats.edtCharMax = std::max(stats.edtCharMax, length);
        stats.edtCharMin = std::min(stats.edtCharMin, length);
    }
    if (stats.edtDataLine > 0) stats.edtCharAve = fileSize / stats.edtDataLine;
    return stats;
}

std::optional<FileStats> btnFileInfoClick(const FileStatsParams& params, const Workspace& ws, Host& host,
                                          const FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return std::nullopt;
    if (params.currentRow == 0 || params.currentRow > ws.files.entryCount() || !ws.files.isMarked(params.currentRow)) {
        host.showMessage(MessageKind::Error, programText("请选择需要进行统计的文件！"));
        return std::nullopt;
    }
    const std::string path = ws.files.fullPath(params.currentRow);
    std::string bytes = fs.readFile(path);
    const auto size = static_cast<std::int64_t>(bytes.size());
    FileStats stats = countLines(text::LineList::fromBytes(std::move(bytes)), size, host);
    stats.edtFilename = ws.files.shownPath(params.currentRow);
    host.showMessage(MessageKind::Information, programText("成功统计完成!"));
    return stats;
}

} // namespace qv
