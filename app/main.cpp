// qorvane: the desktop window. `qorvane [PATH...]` opens the PATHs in the
// window (files to the list, folders to the search folder box), or in the
// window already open, when there is one.

#include "app/launch_arguments.h"
#include "app/main_window.h"
#include "app/qt_texts.h"
#include "app/single_instance.h"
#include "app/window_font.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    // Before the application, which would need a display.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(qv::app::launchUsage, stdout);
            return 0;
        }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qorvane文件批量处理"));
    QGuiApplication::setDesktopFileName(QStringLiteral("qorvane"));
    if (!qv::app::useChineseQtTexts())
        std::fprintf(stderr, "qorvane: Qt's Chinese translation (qt6-translations-l10n) is missing; "
                             "Qt's own buttons and dialogs stay English\n");
    const qv::app::LaunchArguments launch =
        qv::app::parseLaunchArguments(QApplication::arguments().mid(1), QDir::currentPath());
    for (const QString& option : launch.unknownOptions)
        std::fprintf(stderr, "qorvane: unknown option '%s' ignored\n", option.toLocal8Bit().constData());
    if (!launch.paths.isEmpty() && !launch.quitAfterStart && qv::app::sendToRunningWindow(launch.paths)) return 0;

    qv::app::useWindowFont();
    qv::app::MainWindow window;
    window.show();
    qv::app::OpenRequestServer server;
    if (!launch.quitAfterStart) {
        QObject::connect(&server, &qv::app::OpenRequestServer::pathsReceived, &window,
                         [&window](const QStringList& paths) {
                             window.openPaths(paths);
                             window.raise();
                             window.activateWindow();
                         });
        server.listen();
    }
    if (!launch.paths.isEmpty()) window.openPaths(launch.paths);
    // A smoke check for installs: start, print the caption, quit.
    if (launch.quitAfterStart)
        QTimer::singleShot(0, &window, [&window] {
            std::printf("%s\n", window.windowTitle().toUtf8().constData());
            QApplication::quit();
        });
    else
        QTimer::singleShot(0, &window, [&window] { window.offerInterruptedRun(); });
    return QApplication::exec();
}
