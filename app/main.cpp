// qorvane: the desktop window.

#include "app/main_window.h"
#include "app/qt_texts.h"
#include "app/window_font.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qorvane文件批量处理"));
    QGuiApplication::setDesktopFileName(QStringLiteral("qorvane"));
    if (!qv::app::useChineseQtTexts())
        std::fprintf(stderr, "qorvane: Qt's Chinese translation (qt6-translations-l10n) is missing; "
                             "Qt's own buttons and dialogs stay English\n");
    qv::app::useWindowFont();
    qv::app::MainWindow window;
    window.show();
    // A smoke check for installs: start, print the caption, quit.
    if (QApplication::arguments().contains(QStringLiteral("--quit-after-start")))
        QTimer::singleShot(0, &window, [&window] {
            std::printf("%s\n", window.windowTitle().toUtf8().constData());
            QApplication::quit();
        });
    return QApplication::exec();
}
