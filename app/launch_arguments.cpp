#include "app/launch_arguments.h"

#include <QDir>
#include <QUrl>

namespace qv::app {

LaunchArguments parseLaunchArguments(const QStringList& arguments, const QString& workingFolder)
{
    LaunchArguments parsed;
    const QDir base(workingFolder);
    bool options = true;
    for (const QString& argument : arguments) {
        if (options && argument == QStringLiteral("--")) {
            options = false;
        } else if (options && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h"))
                parsed.help = true;
            else if (argument == QStringLiteral("--quit-after-start"))
                parsed.quitAfterStart = true;
            else
                parsed.unknownOptions << argument;
        } else if (argument.startsWith(QStringLiteral("file://"))) {
            // A launcher that passes URLs instead of paths.
            const QUrl url(argument);
            if (url.isLocalFile()) parsed.paths << url.toLocalFile();
        } else if (!argument.isEmpty()) {
            // No cleaning: "a/link/../b" must stay what the file system makes of it.
            parsed.paths << base.absoluteFilePath(argument);
        }
    }
    return parsed;
}

} // namespace qv::app
