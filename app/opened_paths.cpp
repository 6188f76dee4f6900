#include "app/opened_paths.h"

#include "platform/file_system.h"

#include <QFile>

namespace qv::app {

OpenedPaths sortOpenedPaths(const QStringList& paths, const FileSystem& fs)
{
    OpenedPaths sorted;
    for (const QString& path : paths) {
        // The add command takes a file's path as the system writes it, and
        // tells the names it has to leave out.
        std::string disk = QFile::encodeName(path).toStdString();
        const std::optional<FileEntry> entry = fs.stat(disk);
        if (!entry || (entry->attributes & attr::directory) == 0) {
            sorted.files.push_back(std::move(disk));
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
