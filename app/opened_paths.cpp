#include "app/opened_paths.h"

#include "app/gbk_text.h"
#include "platform/file_system.h"

namespace qv::app {

OpenedPaths sortOpenedPaths(const QStringList& paths, const FileSystem& fs)
{
    OpenedPaths sorted;
    for (const QString& path : paths) {
        std::optional<std::string> bytes = toGbkExactly(path);
        if (!bytes) {
            ++sorted.unconvertible;
            continue;
        }
        const std::optional<FileEntry> entry = fs.stat(*bytes);
        if (!entry || (entry->attributes & attr::directory) == 0) {
            sorted.files.push_back(std::move(*bytes));
        } else if (path.contains(QLatin1Char(';'))) {
            sorted.unusableFolders << path;
        } else {
            sorted.folders << path;
        }
    }
    return sorted;
}

QString unusableFoldersMessage(const QStringList& folders)
{
    return QStringLiteral("目录名称含有分号(;)，不能作为搜索目录：") + folders.join(QStringLiteral("\n"));
}

} // namespace qv::app
