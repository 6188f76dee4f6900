// qorvane: the desktop window.

#include "app/main_window.h"
#include "app/window_font.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qorvane文件批量处理"));
    qv::app::useWindowFont();
    qv::app::MainWindow window;
    window.show();
    return QApplication::exec();
}
