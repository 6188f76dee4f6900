// The window's wiring: control -> core -> what the user sees. Runs headless
// (QT_QPA_PLATFORM=offscreen); message boxes and file dialogs are answered
// by ScriptedDialogs.

#include "app/file_list_model.h"
#include "app/main_window.h"
#include "app/window_font.h"
#include "gui/window_fixture.h"
#include "support/gbk.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace qv::app {
namespace {

using qv::testing::gbk;
using testing::ScriptedDialogs;
using testing::Window;
using testing::WindowOnDisk;

TEST_F(Window, StartsOnTheRenamePageWithAnEmptyList)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Qorvane文件批量处理"));
    EXPECT_EQ(window.size(), QSize(800, 600));
    auto* pages = control<QTabWidget>("pgcOne");
    EXPECT_EQ(pages->count(), 17);
    EXPECT_EQ(pages->currentWidget()->objectName(), "TabSheet8");
    for (int page = 0; page < pages->count(); ++page) EXPECT_EQ(pages->isTabVisible(page), page == 1) << page;
    EXPECT_EQ(control<QComboBox>("cmbOpt")->currentText(), QStringLiteral("更改文件名称"));
    EXPECT_EQ(control<QComboBox>("cmbOpt")->count(), 17);
    EXPECT_EQ(control<QComboBox>("cmbVar")->count(), 45);
    for (const char* counter : {"stSrcCount", "stChangeCount", "stDeleteCount"}) EXPECT_EQ(label(counter), "0");
    EXPECT_EQ(grid->model()->rowCount(), 1); // the placeholder row
    for (int column = 0; column < 6; ++column) EXPECT_EQ(cellText(1, column), "");
    EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("大小(字节)"));
    EXPECT_EQ(control<QLineEdit>("edFolder")->text(), QDir::currentPath());
    const QDate today = QDate::currentDate();
    EXPECT_EQ(control<QDateEdit>("dtMax")->date(), today);
    EXPECT_EQ(control<QDateEdit>("dtMin")->date(), today.addMonths(-1));
    EXPECT_TRUE(control<QPushButton>("cbSearch")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("btnStopSearch")->isEnabled());
    EXPECT_FALSE(control<QLineEdit>("edMin")->isEnabled());
    control<QCheckBox>("ckFileSize")->click();
    EXPECT_TRUE(control<QLineEdit>("edMin")->isEnabled());
}

TEST_F(Window, TheSelectorShowsOnlyTheChosenPage)
{
    auto* pages = control<QTabWidget>("pgcOne");
    control<QComboBox>("cmbOpt")->setCurrentIndex(16);
    EXPECT_EQ(pages->currentWidget()->objectName(), "ts6");
    for (int page = 0; page < pages->count(); ++page) EXPECT_EQ(pages->isTabVisible(page), page == 16) << page;
    EXPECT_NE(pages->currentWidget()->findChild<QPushButton*>("btnRepCont"), nullptr);
}

// Every operation in selector order: its item text, its page, the start
// button on that page, and the box a catalogue entry goes into (none: the
// clipboard).
TEST_F(Window, EachOperationHasItsPageButtonAndCatalogueTarget)
{
    struct Row {
        QString option;
        const char* page;
        const char* button;
        const char* templateBox;
    };
    const Row rows[] = {
        {QStringLiteral("更改文件扩展名"), "TabSheet7", "btnExt", nullptr},
        {QStringLiteral("更改文件名称"), "TabSheet8", "btnFilename", "edtNewFilename"},
        {QStringLiteral("更改文件或目录日期"), "TabSheet9", "btnDate", nullptr},
        {QStringLiteral("更改文件或目录属性"), "TabSheet10", "btnProp", nullptr},
        {QStringLiteral("文件信息统计"), "ts3", "btnFileInfo", nullptr},
        {QStringLiteral("合并关键字内容"), "ts1", "btnSyn", nullptr},
        {QStringLiteral("行内容截取字符"), "ts2", "btnCut", "edtCutFormat"},
        {QStringLiteral("行内容插入字符"), "ts4", "btnIns", "edtInsFormat"},
        {QStringLiteral("行模式替换字符"), "TabSheet1", "btnReplace", nullptr},
        {QStringLiteral("内容按行删除"), "TabSheet3", "btnDelLine", nullptr},
        {QStringLiteral("内容按行提取"), "TabSheet4", "btnGetLine", nullptr},
        {QStringLiteral("按关键字同步行"), "TabSheet6", "btnLineSyn", nullptr},
        {QStringLiteral("内容插入新行"), "TabSheet5", "btnInsLine", "edtNewLineFormat"},
        {QStringLiteral("文件内容合并"), "TabSheet11", "btnFileCombine", nullptr},
        {QStringLiteral("文件格式转换"), "TabSheet12", "btnConvert", "edtFileFormat"},
        {QStringLiteral("文件内容编码转换"), "ts5", "btnCharset", nullptr},
        {QStringLiteral("文件内容替换"), "ts6", "btnRepCont", "edtRepCont"},
    };
    auto* selector = control<QComboBox>("cmbOpt");
    auto* pages = control<QTabWidget>("pgcOne");
    ASSERT_EQ(selector->count(), static_cast<int>(std::size(rows)));
    for (int i = 0; i < selector->count(); ++i) {
        const Row& row = rows[i];
        EXPECT_EQ(selector->itemText(i), row.option) << row.page;
        choosePage(row.page);
        EXPECT_EQ(selector->currentIndex(), i) << row.page;
        EXPECT_NE(pages->currentWidget()->findChild<QPushButton*>(row.button), nullptr) << row.page;
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        auto* box = row.templateBox ? pages->currentWidget()->findChild<QLineEdit*>(row.templateBox) : nullptr;
        if (row.templateBox) {
            ASSERT_NE(box, nullptr) << row.templateBox;
            box->clear();
        }
        emit control<QComboBox>("cmbVar")->activated(0);
        EXPECT_EQ(box ? box->text() : QGuiApplication::clipboard()->text(), QStringLiteral("${Ext}")) << row.page;
        if (box) EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before")) << row.page;
    }
}

TEST_F(Window, MouseReleaseTogglesNameCellsAndHeaderClicksSort)
{
    entries({{"b.txt", 300}, {"C.txt", 5}, {"a.txt", 3000000000LL}});
    EXPECT_EQ(names(), (QStringList{"b.txt", "C.txt", "a.txt"}));
    clickCell(2, 0);
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false}));
    clickCell(2, 0);
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, false}));
    clickCell(3, 2); // a size cell: only the current cell moves
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(cellText(3, 2), "3000000000");

    // Three releases so far: the fourth, on a title, sorts descending (the
    // current cell is a size cell, so no mark flips), the fifth ascending.
    clickHeader(2);
    EXPECT_EQ(names(), (QStringList{"a.txt", "b.txt", "C.txt"}));
    clickHeader(2);
    EXPECT_EQ(names(), (QStringList{"C.txt", "b.txt", "a.txt"}));
    clickCell(1, 0); // marks C.txt in row 1
    clickHeader(0);  // the seventh: ascending by name; the mark goes with C.txt and nothing flips
    EXPECT_EQ(names(), (QStringList{"a.txt", "b.txt", "C.txt"}));
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, true}));
}

TEST_F(Window, MarkCommandsAndRemoveKeepMarksWithTheirEntries)
{
    entries({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}});
    click("btnSelAll");
    EXPECT_EQ(marks(), std::vector<bool>(5, true));
    click("btnDeSelAll");
    EXPECT_EQ(marks(), std::vector<bool>(5, false));
    clickCell(2, 0);
    clickCell(4, 0);
    click("btnInverse");
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, true, false, true}));
    click("btnInverse");
    clickCell(5, 0); // b, d and e marked
    click("btnDel");
    EXPECT_EQ(names(), (QStringList{"a", "c"}));
    EXPECT_EQ(marks(), (std::vector<bool>{false, false}));
    EXPECT_EQ(label("stSrcCount"), "2");
    EXPECT_TRUE(window.workspace().files.isConsistent());
}

TEST_F(Window, SelectionCheckMessagesAreStopBoxes)
{
    click("btnSelAll"); // marks the placeholder row
    click("cbDel");
    entries({{"a", 1}});
    click("btnDeSelAll");
    click("btnExp");
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialogs->messages[0].text, QStringLiteral("没有源文件，请搜索后再试！"));
    EXPECT_EQ(dialogs->messages[1].text, QStringLiteral("请先选择文件！"));
    EXPECT_TRUE(dialogs->questions.empty());
    EXPECT_TRUE(control<QPushButton>("btnExp")->isEnabled());
}

TEST_F(Window, CatalogueInsertsIntoThePageBoxCountingChineseRight)
{
    auto* box = control<QLineEdit>("edtNewFilename");
    auto* catalogue = control<QComboBox>("cmbVar");
    struct Case {
        QString text;
        int selectionStart;
        int selectionLength; // 0: a caret at selectionStart
        int entry;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("报告abc_ABC"), 2, 3, 0, QStringLiteral("报告${Ext}_${Ext}")},
        {QStringLiteral("中文"), 1, 0, 1, QStringLiteral("中${Filename}文")},
        {QStringLiteral("第一章"), 3, 0, 5, QStringLiteral("第一章${Sn(开始序号,长度)}")},
        {QStringLiteral("一二一"), 0, 1, 6, QStringLiteral("${LastDir}二${LastDir}")},
    };
    for (const Case& c : cases) {
        box->setText(c.text);
        if (c.selectionLength > 0)
            box->setSelection(c.selectionStart, c.selectionLength);
        else
            box->setCursorPosition(c.selectionStart);
        emit catalogue->activated(c.entry);
        EXPECT_EQ(box->text(), c.expected) << c.text.toStdString();
    }

    choosePage("TabSheet7"); // no template box: the clipboard
    box->setText(QStringLiteral("unchanged"));
    emit catalogue->activated(0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("${Ext}"));
    EXPECT_EQ(box->text(), QStringLiteral("unchanged"));
}

TEST_F(WindowOnDisk, SearchFillsTheGridAndStopKeepsWhatWasFound)
{
    file(QStringLiteral("报告.txt"), 12);
    file(QStringLiteral("sub/b.txt"));
    file(QStringLiteral("c.ini"));
    control<QLineEdit>("edFolder")->setText(dir.path());
    click("cbSearch");
    EXPECT_EQ(names(), (QStringList{QStringLiteral("报告.txt"), "b.txt"}));
    EXPECT_EQ(cellText(1, 1), dir.path());
    EXPECT_EQ(cellText(1, 2), "12");
    EXPECT_EQ(cellText(1, 5), ".txt");
    EXPECT_EQ(label("stSrcCount"), "2");
    EXPECT_TRUE(control<QPushButton>("cbSearch")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("btnStopSearch")->isEnabled());

    for (int folder = 0; folder < 20; ++folder)
        for (int i = 0; i < 10; ++i) file(QStringLiteral("deep%1/f%2.txt").arg(folder).arg(i));
    bool stopWasEnabled = false;
    QTimer::singleShot(0, &window, [&] {
        stopWasEnabled = control<QPushButton>("btnStopSearch")->isEnabled();
        click("btnStopSearch");
    });
    click("cbSearch");
    EXPECT_TRUE(stopWasEnabled);
    const auto found = window.workspace().files.entryCount();
    EXPECT_LT(found, 202u);
    EXPECT_EQ(label("stSrcCount"), QString::number(found));
    EXPECT_TRUE(control<QPushButton>("cbSearch")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("btnStopSearch")->isEnabled());

    // A bound that is no number is a run error; the search buttons come back.
    control<QCheckBox>("ckFileSize")->click();
    control<QLineEdit>("edMin")->setText(QStringLiteral("abc"));
    click("cbSearch");
    ASSERT_FALSE(dialogs->messages.empty());
    EXPECT_EQ(dialogs->messages.back().icon, QMessageBox::Critical);
    EXPECT_EQ(dialogs->messages.back().text, QStringLiteral("'abc' is not a valid floating point value"));
    EXPECT_TRUE(control<QPushButton>("cbSearch")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("btnStopSearch")->isEnabled());
    EXPECT_EQ(window.workspace().files.entryCount(), found);

    control<QComboBox>("cmbFileType")->setCurrentText(QStringLiteral("  "));
    click("cbSearch");
    ASSERT_FALSE(dialogs->messages.empty());
    EXPECT_EQ(dialogs->messages.back().text, QStringLiteral("文件类型为空,请设置好后再试！"));
    EXPECT_EQ(window.workspace().files.entryCount(), found);
}

TEST_F(WindowOnDisk, FolderPickerAddExportAndDelete)
{
    dialogs->folder = dir.path();
    click("btnOpen");
    EXPECT_EQ(control<QLineEdit>("edFolder")->text(), dir.path());

    dialogs->filesToAdd = {file(QStringLiteral("一.txt")), file(QStringLiteral("two.txt")),
                           dir.filePath("missing.txt")};
    click("btnAdd");
    EXPECT_EQ(names(), (QStringList{QStringLiteral("一.txt"), "two.txt"}));
    EXPECT_EQ(label("stSrcCount"), "2");

    click("btnSelAll");
    dialogs->answer = false; // names only
    dialogs->exportPath = dir.filePath("names.txt");
    click("btnExp");
    QFile exported(dir.filePath("names.txt"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll(), QByteArray::fromStdString(gbk("一.txt\r\ntwo.txt\r\n")));
    EXPECT_EQ(dialogs->messages.back().icon, QMessageBox::Information);
    EXPECT_EQ(dialogs->messages.back().text, QStringLiteral("文件名称导出成功,导出总数量：2"));

    // A run error is shown and the command's button comes back.
    dialogs->exportPath = dir.filePath("no/such/folder.txt");
    click("btnExpDir");
    EXPECT_EQ(dialogs->messages.back().icon, QMessageBox::Critical);
    EXPECT_TRUE(dialogs->messages.back().text.startsWith(QStringLiteral("Cannot create file ")));
    EXPECT_TRUE(control<QPushButton>("btnExpDir")->isEnabled());

    dialogs->answer = true;
    clickCell(1, 0); // only two.txt stays marked
    click("cbDel");
    EXPECT_EQ(dialogs->questions.back(), QStringLiteral("此操作将从磁盘上删除此文件且不可恢复,确认要删除吗?"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("一.txt"))));
    EXPECT_FALSE(QFile::exists(dir.filePath("two.txt")));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("一.txt")}));
    EXPECT_EQ(label("stSrcCount"), "1");
    EXPECT_EQ(label("stDeleteCount"), "1");
    EXPECT_TRUE(control<QPushButton>("cbDel")->isEnabled());
}

TEST_F(WindowOnDisk, DeletingManyScatteredRowsLeavesTheGridInStep)
{
    QStringList expected;
    for (int i = 1; i <= 80; ++i) {
        const QString name = QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0'));
        file(name);
        if (i % 2 == 1) expected << name;
    }
    control<QLineEdit>("edFolder")->setText(dir.path());
    click("cbSearch");
    sortByName();
    for (std::size_t row = 2; row <= 80; row += 2) window.workspace().files.setMark(row, true);
    clickCell(50, 3); // the current cell stays at its position
    click("cbDel");
    EXPECT_EQ(names(), expected);
    EXPECT_EQ(label("stSrcCount"), "40");
    EXPECT_EQ(label("stDeleteCount"), "40");
    EXPECT_EQ(grid->currentIndex().row(), 39); // clamped to the last row left
    EXPECT_EQ(grid->currentIndex().column(), 3);
}

TEST_F(WindowOnDisk, AMissingFolderIsToldAndThePickerStartsAtTheFolderInTheBox)
{
    file(QStringLiteral("a.txt"));
    const QString missing = dir.filePath(QStringLiteral("没有这个目录"));
    control<QLineEdit>("edFolder")->setText(dir.path() + ";" + missing);
    click("cbSearch");
    EXPECT_EQ(names(), QStringList{"a.txt"});
    EXPECT_EQ(window.statusBar()->currentMessage(),
              QStringLiteral("已搜索 2 个目录，找到 1 个文件；目录不存在：") + missing);

    click("btnOpen");
    EXPECT_EQ(dialogs->folderPickerStart, dir.path());
    control<QLineEdit>("edFolder")->setText(missing + ";" + dir.path());
    click("btnOpen");
    EXPECT_EQ(dialogs->folderPickerStart, QString()); // the working directory
}

// A caption's distance from the box it names.
int gapBeforeBox(QWidget* page, const char* boxName)
{
    auto* box = page->findChild<QLineEdit*>(QString::fromLatin1(boxName));
    for (const QLabel* label : page->findChildren<QLabel*>())
        if (label->buddy() == box) return box->mapTo(page, QPoint(0, 0)).x() - label->geometry().right();
    return -1;
}

TEST_F(Window, TheLayoutKeepsItsSizeAndUsesTheSpaceItHas)
{
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.size(), QSize(800, 600));

    // A refused run shows no progress.
    bool progressShown = true;
    dialogs->onMessage = [&] { progressShown = !control<QWidget>("prgRun")->isHidden(); };
    click("btnFilename");
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, QStringLiteral("没有源文件，请搜索后再试！"));
    EXPECT_FALSE(progressShown);

    // A long tip neither widens the window nor makes its content scroll.
    control<QLabel>("lblTips")->setText(QString(120, QChar(0x5b57)) + QStringLiteral(" >>"));
    QTest::qWait(50);
    EXPECT_EQ(window.width(), 800);
    auto* scroller = qobject_cast<QScrollArea*>(window.centralWidget());
    ASSERT_NE(scroller, nullptr);
    EXPECT_LE(scroller->widget()->width(), scroller->viewport()->width());

    // The interval boxes stand apart from the words around them.
    control<QComboBox>("cmbOpt")->setCurrentIndex(9);
    QTest::qWait(50);
    EXPECT_GE(gapBeforeBox(control<QWidget>("TabSheet3"), "edtLines"), 4);
    EXPECT_GE(gapBeforeBox(control<QWidget>("TabSheet3"), "edtLineNum"), 4);

    // The last column takes what the grid has left.
    window.resize(1200, 700);
    QTest::qWait(50);
    QHeaderView* header = grid->horizontalHeader();
    EXPECT_EQ(header->sectionViewportPosition(5) + header->sectionSize(5), header->viewport()->width());
}

TEST(WindowPlacement, TheWindowIsCentredAndShrunkToTheFreeArea)
{
    struct Case {
        QRect available;
        QRect expected;
    };
    const Case cases[] = {
        {QRect(0, 0, 1280, 900), QRect(240, 150, 800, 600)},
        {QRect(0, 0, 640, 450), QRect(0, 0, 640, 450)},         // a 1280 x 900 screen at scale factor 2
        {QRect(100, 30, 700, 1000), QRect(100, 230, 700, 600)}, // a panel on the left, a tall screen
    };
    for (const Case& c : cases) EXPECT_EQ(centredWithin(QSize(800, 600), c.available), c.expected);
}

} // namespace
} // namespace qv::app

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    qv::app::useWindowFont();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
