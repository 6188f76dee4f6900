// The window with a 1,000,000-entry file list, headless: the time to fill
// the list through the grid's model, to mark every row, to sort by size
// (a click on the size title), to scroll to the end and paint, to remove
// every second row in one pass (the remove command), and to remove every
// second row one at a time from the bottom up (what the delete command does
// to the list once its files are gone). Each figure includes the repaint that follows; the
// target is under a second each on a 2-core machine.
//
//   QT_QPA_PLATFORM=offscreen ./build/bench/window_bench [entries]

#include "app/main_window.h"
#include "app/window_font.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

double timed(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void report(const char* what, double seconds)
{
    std::printf("%-34s %8.3f s\n", what, seconds);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qv::app::useWindowFont();
    const long entries = argc > 1 ? std::atol(argv[1]) : 1000000;

    qv::app::MainWindow window;
    window.show();
    QCoreApplication::processEvents();
    auto* grid = window.findChild<QTableView*>("sgFiles");
    auto& ws = window.workspace();
    const auto click = [&](const char* name) {
        QTest::mouseClick(window.findChild<QToolButton*>(name), Qt::LeftButton);
    };

    report("fill", timed([&] {
               for (long i = 0; i < entries; ++i)
                   ws.files.append(qv::ListEntry{"file" + std::to_string(i) + ".txt",
                                                 "/data/folder" + std::to_string(i % 97), (i * 7919) % 1000003,
                                                 1700000000 + i, 1700000000 + i});
               ws.counters.stSrcCount = entries;
           }));
    report("select all", timed([&] { click("btnSelAll"); }));
    report("sort by size (header click)", timed([&] {
               QHeaderView* header = grid->horizontalHeader();
               const int x = header->sectionViewportPosition(2) + header->sectionSize(2) / 2;
               QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
           }));
    report("scroll to end and paint", timed([&] {
               grid->scrollToBottom();
               grid->viewport()->repaint();
           }));
    report("remove every second row", timed([&] {
               click("btnDeSelAll");
               for (long row = 2; row <= entries; row += 2) ws.files.setMark(static_cast<std::size_t>(row), true);
               click("btnDel");
               grid->viewport()->repaint();
           }));
    report("delete walk, every second row", timed([&] {
               // What the delete command does to the list: bottom-up, one row at a
               // time, offering the window's Host to handle events before each row.
               for (std::size_t row = ws.files.lastRow(); row >= 1; --row) {
                   window.host().processEvents();
                   if (row % 2 == 0) ws.files.removeRow(row);
               }
           }));
    std::printf("rows left: %zu\n", ws.files.entryCount());
    return 0;
}
