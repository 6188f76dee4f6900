// The operation pages: each page's controls -> parameters -> core -> the
// files written, the counter and the closing message; refusals put the focus
// on the control they name; the stop button ends a content run between files.

#include "gui/window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

#include <fstream>

namespace qv::app {
namespace {

using qv::testing::gbk;
using testing::WindowOnDisk;

class Pages : public WindowOnDisk {
protected:
    // Files with the given content (UTF-8 here, code page 936 on disk), added
    // to the list in this order and all marked.
    void listFiles(std::initializer_list<std::pair<QString, std::string>> files)
    {
        dialogs->filesToAdd.clear();
        for (const auto& [name, content] : files) {
            const QString path = dir.filePath(name);
            QFile out(path);
            EXPECT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(QByteArray::fromStdString(gbk(content)));
            dialogs->filesToAdd << path;
        }
        click("btnAdd");
        click("btnSelAll");
    }
    QByteArray contentOf(const QString& name)
    {
        QFile in(dir.filePath(name));
        if (!in.open(QIODevice::ReadOnly)) return "<missing>";
        return in.readAll();
    }
    static QByteArray bytes(const char* utf8) { return QByteArray::fromStdString(gbk(utf8)); }

    void type(const char* box, const QString& text) { control<QLineEdit>(box)->setText(text); }
    void start(const char* button)
    {
        dialogs->messages.clear();
        click(button);
        EXPECT_TRUE(control<QPushButton>(button)->isEnabled()) << button;
    }
    QString lastMessage() { return dialogs->messages.empty() ? QString() : dialogs->messages.back().text; }
    // The message box shown last was an error with `text`, and the focus went
    // to `focus`.
    void expectRefused(const QString& text, const char* focus)
    {
        ASSERT_FALSE(dialogs->messages.empty());
        EXPECT_EQ(dialogs->messages.back().icon, QMessageBox::Critical);
        EXPECT_EQ(lastMessage(), text);
        EXPECT_EQ(QApplication::focusWidget(), control<QWidget>(focus)) << focus;
    }
    void expectDone(const char* counter, int files)
    {
        ASSERT_FALSE(dialogs->messages.empty());
        EXPECT_EQ(dialogs->messages.back().icon, QMessageBox::Information);
        EXPECT_EQ(lastMessage(), QStringLiteral("成功处理完成,共处理 %1 个文件!").arg(files));
        EXPECT_EQ(label("stChangeCount"), QString::fromLatin1(counter));
    }
    // Starting `button` is refused with `text`, the focus going to `focus`.
    void startRefused(const char* button, const QString& text, const char* focus)
    {
        SCOPED_TRACE(button);
        start(button);
        expectRefused(text, focus);
    }
    // Starting `button` writes `utf8` (as code page 936) into the file `name`
    // and ends with the done message and the counter.
    void startWrites(const char* button, const char* name, const char* utf8, const char* counter, int files)
    {
        SCOPED_TRACE(button);
        start(button);
        EXPECT_EQ(contentOf(name), bytes(utf8));
        expectDone(counter, files);
    }
};

// A folder of GBK-named files: the search lists them as Chinese text, and
// the rename page's check box gives each its name in UTF-8 with an empty
// template; a UTF-8 twin is left alone.
TEST_F(Pages, RenamePageConvertsGbkNamesToUtf8)
{
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    std::ofstream(folder + "/\xB1\xA8\xB8\xE6.txt", std::ios::binary) << "gbk"; // 报告.txt in GBK
    std::ofstream(folder + "/\xD6\xD0\xCE\xC4.txt", std::ios::binary) << "gbk"; // 中文.txt in GBK
    std::ofstream(folder + "/中文.txt", std::ios::binary) << "twin";
    control<QLineEdit>("edFolder")->setText(dir.path());
    click("cbSearch");
    click("btnSelAll");
    QStringList listed = names();
    listed.sort();
    EXPECT_EQ(listed,
              (QStringList{QStringLiteral("中文.txt"), QStringLiteral("中文.txt"), QStringLiteral("报告.txt")}));
    choosePage("TabSheet8");
    EXPECT_FALSE(control<QCheckBox>("chkNameToUtf8")->isChecked());
    control<QCheckBox>("chkNameToUtf8")->setChecked(true);
    type("edtNewFilename", QString());
    start("btnFilename");
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("成功处理文件总数量：1")));
    EXPECT_EQ(contentOf(QStringLiteral("报告.txt")), "gbk");
    EXPECT_EQ(contentOf(QStringLiteral("中文.txt")), "twin");
    std::ifstream stillGbk(folder + "/\xD6\xD0\xCE\xC4.txt");
    EXPECT_TRUE(stillGbk.good());
}

TEST_F(Pages, FileNamePagesRenameAndChangeTheExtension)
{
    listFiles({{"one.txt", ""}, {"two.txt", ""}});
    choosePage("TabSheet8");
    type("edtNewFilename", QStringLiteral("${Filename}_new"));
    start("btnFilename");
    EXPECT_TRUE(QFile::exists(dir.filePath("one_new.txt")));
    EXPECT_TRUE(QFile::exists(dir.filePath("two_new.txt")));
    EXPECT_EQ(lastMessage(), QStringLiteral("成功处理文件总数量：2"));
    EXPECT_EQ(label("stChangeCount"), "2");

    type("edtNewFilename", QStringLiteral("\"${Filename}\""));
    start("btnFilename");
    EXPECT_EQ(lastMessage(), QStringLiteral("新文件名格式中不需要使用双引号！"));

    choosePage("TabSheet7");
    type("edtNewExt", QStringLiteral("DAT"));
    start("btnExt");
    EXPECT_EQ(names(), (QStringList{"one_new.dat", "two_new.dat"}));
    EXPECT_TRUE(QFile::exists(dir.filePath("one_new.dat")));
    EXPECT_EQ(label("stChangeCount"), "2");
    type("edtNewExt", QStringLiteral(" "));
    start("btnExt");
    EXPECT_EQ(lastMessage(), QStringLiteral("请输入新扩展名格式！"));
}

TEST_F(Pages, MetadataPagesSetDatesAndAttributes)
{
    listFiles({{"a.txt", "x"}});
    choosePage("TabSheet9");
    auto* dtModify = control<QDateEdit>("dtModify");
    EXPECT_FALSE(dtModify->isEnabled());
    start("btnDate");
    EXPECT_EQ(lastMessage(), QStringLiteral("请选择新的日期或时间！"));

    control<QCheckBox>("ckModify")->click();
    EXPECT_TRUE(dtModify->isEnabled());
    dtModify->setDate(QDate(2020, 5, 6));
    control<QCheckBox>("chkTime")->click();
    control<QTimeEdit>("dtpTime")->setTime(QTime(8, 9, 10));
    start("btnDate");
    EXPECT_EQ(QFileInfo(dir.filePath("a.txt")).lastModified(), QDateTime(QDate(2020, 5, 6), QTime(8, 9, 10)));
    EXPECT_EQ(cellText(1, 4), "2020-05-06 08:09:10");
    EXPECT_EQ(label("stChangeCount"), "1");

    choosePage("TabSheet10");
    EXPECT_TRUE(control<QCheckBox>("ckNormal")->isChecked());
    control<QCheckBox>("ckReadonly")->click();
    start("btnProp");
    EXPECT_FALSE(QFileInfo(dir.filePath("a.txt")).permissions() & QFile::WriteOwner);
    EXPECT_EQ(label("stChangeCount"), "1");
    control<QCheckBox>("ckReadonly")->click();
    control<QCheckBox>("ckNormal")->click();
    start("btnProp");
    EXPECT_EQ(lastMessage(), QStringLiteral("请选择新的属性！"));
}

TEST_F(Pages, LineEditingPagesCutInsertAndPattern)
{
    listFiles({{"a.txt", "abcdef\r\nxyz\r\n"}});
    choosePage("ts2");
    startRefused("btnCut", QStringLiteral("请输入内容截取格式！"), "edtCutFormat");
    type("edtCutFormat", QStringLiteral("${GetLeft(2)}"));
    control<QRadioButton>("rbKeepLeft")->click();
    startWrites("btnCut", "a.qv.txt", "cdef\r\nz\r\n", "1", 1);
    control<QRadioButton>("rbCutKeysLine")->click();
    startRefused("btnCut", QStringLiteral("关键字不能为空，请输入后再试！"), "edtCutKeys");

    choosePage("ts4");
    control<QRadioButton>("rbInsLineNo")->click();
    type("edtInsLineNo", "2");
    type("edtInsFormat", QStringLiteral("${AddLeft(前)}"));
    startWrites("btnIns", "a.qv.txt", "abcdef\r\n前xyz\r\n", "1", 1);

    choosePage("TabSheet1");
    startRefused("btnReplace", QStringLiteral("模式格式为空,请输入后再试!"), "mmPattern");
    control<QPlainTextEdit>("mmPattern")->setPlainText(QStringLiteral("<$1>\n[$2]"));
    type("edArgNum", "2");
    listFiles({{"p.txt", "a;b\r\n"}});
    startWrites("btnReplace", "p.qv.txt", "<a>\r\n[b]\r\n", "2", 2);
}

TEST_F(Pages, LineChoicePagesDeleteExtractAndInsertNewLines)
{
    listFiles({{"a.txt", "ab\r\n\r\ncd\r\nx\r\n"}});
    choosePage("TabSheet3");
    EXPECT_TRUE(control<QRadioButton>("rbDelLineNo")->isChecked());
    control<QRadioButton>("rbDelKeys")->click();
    startRefused("btnDelLine", QStringLiteral("删除关键字为空,请输入后再试!"), "edtDelKeys");
    control<QRadioButton>("rbDelLine")->click();
    type("edtLines", "3");
    type("edtLineNum", "1");
    startWrites("btnDelLine", "a.qv.txt", "\r\ncd\r\n", "1", 1);

    choosePage("TabSheet4");
    control<QRadioButton>("rbGetKeys")->click();
    startRefused("btnGetLine", QStringLiteral("提取关键字为空,请输入后再试!"), "edtGetKeys");
    type("edtGetKeys", QStringLiteral("a;c"));
    startWrites("btnGetLine", "a.qv.txt", "ab\r\ncd\r\n", "1", 1);

    choosePage("TabSheet5");
    startRefused("btnInsLine", QStringLiteral("要插入的文字内容不能为空,请输入后再试!"), "mmoNewCont");
    control<QPlainTextEdit>("mmoNewCont")->setPlainText(QStringLiteral("新一\n新二"));
    type("edtNewLineNo", "1");
    startWrites("btnInsLine", "a.qv.txt", "ab\r\n新一\r\n新二\r\n\r\ncd\r\nx\r\n", "1", 1);
}

TEST_F(Pages, WholeFilePagesCombineReplaceCharsetAndConversion)
{
    listFiles({{"a.txt", "中文"}, {"b.txt", "xbby\r\n"}});
    choosePage("TabSheet11");
    startWrites("btnFileCombine", "b.qv.txt", "中文\r\nxbby\r\n", "2", 2);

    choosePage("ts6");
    startRefused("btnRepCont", QStringLiteral("内容替换格式为空,请输入后再试!"), "edtRepCont");
    type("edtRepCont", QStringLiteral("${DelMid(${Pos(bb)},2)}"));
    startWrites("btnRepCont", "b.qv.txt", "xy\r\n", "2", 2);

    choosePage("ts5");
    type("edtCharset", QStringLiteral("${ToUtf8()}"));
    start("btnCharset");
    EXPECT_EQ(contentOf("a.qv.txt"), QStringLiteral("中文\r\n").toUtf8());
    expectDone("2", 2);
    type("edtCharset", QStringLiteral("${ToAnsi()}"));
    start("btnCharset"); // a.txt is no UTF-8: left alone, named behind the message
    ASSERT_FALSE(dialogs->messages.empty());
    EXPECT_EQ(lastMessage(), QStringLiteral("成功处理完成,共处理 1 个文件!\r\n1 个文件未处理"));
    EXPECT_TRUE(dialogs->messages.back().details.contains(dir.filePath("a.txt")));
    EXPECT_EQ(label("stChangeCount"), "1");

    choosePage("TabSheet12");
    type("edtFileFormat", QStringLiteral("${TxtTo(csv)}"));
    start("btnConvert");
    EXPECT_EQ(dialogs->messages.back().icon, QMessageBox::Information);
    EXPECT_EQ(lastMessage(), QStringLiteral("成功处理完成,共处理 2 个文件!"));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("a.csv")));
}

TEST_F(Pages, TwoFilePagesAndStatisticsLeaveTheCounterAlone)
{
    listFiles({{"src.ini", "k=new\r\nline 中\r\n"}, {"dst.ini", "k=old\r\nline 2\r\n"}});
    choosePage("ts1");
    start("btnSyn");
    EXPECT_EQ(contentOf("dst.qv.ini"), bytes("k=new\r\nline 2\r\n"));
    EXPECT_EQ(lastMessage(), QStringLiteral("成功处理完成,共处理 1 条记录!"));

    choosePage("TabSheet6");
    startRefused("btnLineSyn", QStringLiteral("关键字为空,请输入后再试!"), "edtLineKeys");
    type("edtLineKeys", QStringLiteral("中"));
    start("btnLineSyn");
    EXPECT_EQ(contentOf("dst.qv.ini"), bytes("k=old\r\nline 中\r\n"));
    EXPECT_EQ(label("stChangeCount"), "0");

    choosePage("ts3");
    clickCell(1, 2); // the current row: src.ini, which stays marked
    start("btnFileInfo");
    EXPECT_EQ(lastMessage(), QStringLiteral("成功统计完成!"));
    EXPECT_EQ(control<QLineEdit>("edtFileSize")->text(), "16");
    EXPECT_EQ(control<QLineEdit>("edtAllLine")->text(), "2");
    EXPECT_EQ(control<QLineEdit>("edtCharMax")->text(), "7");
    EXPECT_EQ(control<QLineEdit>("edtFilename")->text(), dir.filePath("src.ini"));
    clickCell(2, 0); // unmarks dst.ini, the current row now
    start("btnFileInfo");
    EXPECT_EQ(lastMessage(), QStringLiteral("请选择需要进行统计的文件！"));
}

TEST_F(Pages, StopEndsAContentRunBetweenFiles)
{
    listFiles({{"1.txt", "a\r\n"}, {"2.txt", "b\r\n"}, {"3.txt", "c\r\n"}});
    auto* progress = control<QProgressBar>("prgRun");
    auto* stop = control<QPushButton>("btnStopRun");
    EXPECT_TRUE(progress->isHidden());
    bool stopShown = false;
    // Stop is pressed once the first file is done.
    const auto pressStop = QObject::connect(progress, &QProgressBar::valueChanged, &window, [&](int done) {
        stopShown = stop->isVisible();
        if (done == 1) stop->click();
    });
    choosePage("TabSheet3");
    start("btnDelLine");
    EXPECT_TRUE(stopShown);
    EXPECT_EQ(contentOf("1.qv.txt"), "");
    EXPECT_EQ(contentOf("2.qv.txt"), "<missing>");
    EXPECT_EQ(contentOf("3.qv.txt"), "<missing>");
    EXPECT_EQ(lastMessage(), QStringLiteral("成功处理完成,共处理 1 个文件!\r\n已停止处理，还有 2 个选中的文件未处理"));
    EXPECT_EQ(label("stChangeCount"), "1");
    EXPECT_TRUE(progress->isHidden());
    EXPECT_TRUE(stop->isHidden());

    QObject::disconnect(pressStop);
    start("btnDelLine"); // the next run starts without the stop request
    EXPECT_EQ(contentOf("3.qv.txt"), "");
    expectDone("3", 3);
}

TEST_F(Pages, DeleteAfterAStoppedRunDeletes)
{
    listFiles({{"1.txt", "a\r\n"}, {"2.txt", "b\r\n"}});
    auto* progress = control<QProgressBar>("prgRun");
    const auto pressStop = QObject::connect(progress, &QProgressBar::valueChanged, &window, [&](int done) {
        if (done == 1) control<QPushButton>("btnStopRun")->click();
    });
    choosePage("TabSheet3");
    start("btnDelLine");
    QObject::disconnect(pressStop);
    ASSERT_EQ(contentOf("2.qv.txt"), "<missing>"); // the run was stopped
    dialogs->answer = true;
    click("cbDel");
    EXPECT_FALSE(QFile::exists(dir.filePath("1.txt")));
    EXPECT_FALSE(QFile::exists(dir.filePath("2.txt")));
    EXPECT_EQ(label("stDeleteCount"), "2");
}

// The preview of a content page shows the source and the output the run
// would write, follows the page's controls, shows a refusal instead, and
// writes nothing.
TEST_F(Pages, ContentPreviewFollowsTheParametersAndWritesNothing)
{
    listFiles({{"a.txt", "abc\n中文x\n"}, {"b.txt", "b"}});
    choosePage("ts2");
    type("edtCutFormat", QStringLiteral("${GetLeft(2)}"));
    auto* page = control<QWidget>("ts2");
    QTest::mouseClick(page->findChild<QPushButton*>("btnPreview"), Qt::LeftButton);
    auto* preview = window.findChild<QDialog*>("frmPreview");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_FALSE(preview->isModal());
    const auto text = [&](const char* name) { return preview->findChild<QPlainTextEdit*>(name)->toPlainText(); };
    const auto heading = [&] { return preview->findChild<QLabel*>("lblPreviewOutput")->text(); };
    EXPECT_EQ(text("mmoPreviewSource"), QStringLiteral("abc\n中文x"));
    EXPECT_EQ(text("mmoPreviewOutput"), QStringLiteral("ab\n中"));
    EXPECT_EQ(heading(), QStringLiteral("输出文件：") + dir.filePath("a.qv.txt"));
    EXPECT_EQ(preview->findChild<QPlainTextEdit*>("mmoPreviewOutput")->extraSelections().size(), 2);

    type("edtCutFormat", QStringLiteral("${GetRight(1)}"));
    QTRY_COMPARE(text("mmoPreviewOutput"), QStringLiteral("c\nx"));
    type("edtCutFormat", QString());
    QTRY_COMPARE(heading(), QStringLiteral("请输入内容截取格式！"));

    choosePage("TabSheet12");
    type("edtFileFormat", QStringLiteral("${TxtTo(txt)}"));
    auto* conversion = control<QWidget>("TabSheet12");
    QTest::mouseClick(conversion->findChild<QPushButton*>("btnPreview"), Qt::LeftButton);
    QDialog* listing = nullptr;
    for (QDialog* dialog : window.findChildren<QDialog*>("frmPreview"))
        if (dialog->isVisible() && dialog != preview) listing = dialog;
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing->findChild<QPlainTextEdit*>("mmoPreviewOutput")->toPlainText(),
              QStringLiteral("不会写入：转换后的文件就是源文件\n不会写入：转换后的文件就是源文件"));
    type("edtFileFormat", QStringLiteral("${TxtTo(csv)}"));
    QTRY_COMPARE(listing->findChild<QPlainTextEdit*>("mmoPreviewOutput")->toPlainText(),
                 dir.filePath("a.csv") + "\n" + dir.filePath("b.csv"));

    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"a.txt", "b.txt"}));
    EXPECT_EQ(contentOf("a.txt"), bytes("abc\n中文x\n"));
}

TEST_F(Pages, KeyMergePreviewShowsTheTargetsOutput)
{
    listFiles({{"s.ini", "Port=8080\r\n"}, {"t.ini", "port=80\r\nHost=x\r\n"}});
    choosePage("ts1");
    QTest::mouseClick(control<QWidget>("ts1")->findChild<QPushButton*>("btnPreview"), Qt::LeftButton);
    auto* preview = window.findChild<QDialog*>("frmPreview");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->findChild<QPlainTextEdit*>("mmoPreviewSource")->toPlainText(), "port=80\nHost=x");
    EXPECT_EQ(preview->findChild<QPlainTextEdit*>("mmoPreviewOutput")->toPlainText(), "Port=8080\nHost=x");
    EXPECT_EQ(preview->findChild<QLabel*>("lblPreviewOutput")->text(),
              QStringLiteral("输出文件：") + dir.filePath("t.qv.ini"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("t.qv.ini")));
}

} // namespace
} // namespace qv::app

namespace qv::app {
namespace {

// A rename made in the window is taken back by "撤销" after its question;
// the history lists it as taken back, and choosing the undo there redoes it.
TEST_F(Pages, UndoTakesBackTheLastRunAndTheHistoryRedoesIt)
{
    listFiles({{"a.txt", "A"}, {"b.txt", "B"}});
    choosePage("TabSheet8");
    type("edtNewFilename", "${AddLeft(x_)}");
    start("btnFilename");
    EXPECT_EQ(contentOf("x_a.txt"), "A");

    dialogs->questions.clear();
    dialogs->answer = true;
    click("btnUndo");
    ASSERT_EQ(dialogs->questions.size(), 1u);
    EXPECT_EQ(dialogs->questions[0], QStringLiteral("撤销上一次操作：更改文件名称，2 个文件？"));
    EXPECT_EQ(lastMessage(), QStringLiteral("成功撤销更改总数量：2"));
    EXPECT_EQ(contentOf("a.txt"), "A");
    EXPECT_EQ(contentOf("b.txt"), "B");
    EXPECT_EQ(contentOf("x_a.txt"), "<missing>");

    dialogs->runChoice = 0; // the newest: the undo itself
    click("btnUndoHistory");
    ASSERT_GE(dialogs->runRows.size(), 2);
    EXPECT_EQ(dialogs->runRows[0][1], QStringLiteral("撤销"));
    EXPECT_EQ(dialogs->runRows[1][1], QStringLiteral("更改文件名称"));
    EXPECT_EQ(dialogs->runRows[1][3], QStringLiteral("已撤销"));
    EXPECT_EQ(contentOf("x_a.txt"), "A");
    EXPECT_EQ(contentOf("x_b.txt"), "B");
}

} // namespace
} // namespace qv::app
