// The grid's preview column: what each marked row's run would do, or why not
// (red, the reason as tooltip), the summary line, and the column only on the
// pages that preview.

#include "gui/window_fixture.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimeEdit>

namespace qv::app {
namespace {

using qv::testing::gbk;
using testing::WindowOnDisk;

class PreviewColumnTest : public WindowOnDisk {
protected:
    void listFiles(const QStringList& names)
    {
        dialogs->filesToAdd.clear();
        for (const QString& name : names) dialogs->filesToAdd << file(name);
        click("btnAdd");
        click("btnSelAll");
    }
    void choosePage(int index) { control<QComboBox>("cmbOpt")->setCurrentIndex(index); }
    // A control of the page shown (the name pages share the names of theirs).
    template <typename W> W* onPage(const char* name)
    {
        QWidget* page = control<QTabWidget>("pgcOne")->currentWidget();
        W* found = page->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name << " on " << page->objectName().toStdString();
        return found;
    }
    // The summary line once it is `expected` (the preview waits for typing to pause).
    void expectSummary(const QString& expected)
    {
        QDeadlineTimer deadline(3000);
        QLabel* summary = onPage<QLabel>("lblPreview");
        while (summary->text() != expected && !deadline.hasExpired()) QTest::qWait(10);
        EXPECT_EQ(summary->text(), expected);
    }
    QStringList column()
    {
        QStringList out;
        for (int row = 1; row <= grid->model()->rowCount(); ++row) out << cellText(row, 6);
        return out;
    }
    QString tooltip(int gridRow) { return grid->model()->index(gridRow - 1, 6).data(Qt::ToolTipRole).toString(); }
    bool red(int gridRow)
    {
        return grid->model()->index(gridRow - 1, 6).data(Qt::ForegroundRole).value<QBrush>().color() == Qt::red;
    }
    QString listFile(const QString& lines)
    {
        QFile out(dir.filePath(QStringLiteral("names%1.lst").arg(++lists)));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(lines.toUtf8());
        return QStringLiteral("${File(%1)}").arg(out.fileName());
    }
    int lists = 0;
};

TEST_F(PreviewColumnTest, RenameShowsTheNewNamesOrWhyNotAsTheTemplateChanges)
{
    listFiles({"a.txt", "b.txt", "ab.txt", "c.txt"});
    window.workspace().files.setMark(4, false);
    choosePage(1);
    EXPECT_EQ(grid->model()->columnCount(), 7);
    EXPECT_EQ(grid->model()->headerData(6, Qt::Horizontal).toString(), QStringLiteral("预览"));

    const QString chainHint =
        QStringLiteral("目标名称属于本次处理中另一个将改名的文件；勾选“允许名称互换与顺移”即可处理");
    struct Case {
        const char* what;
        QString templ;
        bool chains;
        QStringList column;
        QString summary;
        int redRow; // a row shown in red (0: none)
        QString tooltip;
    } cases[] = {
        {"a name held by a file that stays, a same name",
         QStringLiteral("${RepStr(a,b)}"),
         false,
         {QStringLiteral("目标已存在"), QStringLiteral("不变"), "bb.txt", ""},
         QStringLiteral("预览：1 个文件将被更改，2 个文件保持不变"),
         1,
         QStringLiteral("目标文件已存在")},
        {"a swap without the check box",
         listFile("b\na\nab2\n"),
         false,
         {QStringLiteral("需互换或顺移"), QStringLiteral("需互换或顺移"), "ab2.txt", ""},
         QStringLiteral("预览：1 个文件将被更改，2 个文件保持不变"),
         2,
         chainHint},
        {"the swap with it",
         listFile("b\na\nab2\n"),
         true,
         {"b.txt", "a.txt", "ab2.txt", ""},
         QStringLiteral("预览：3 个文件将被更改，0 个文件保持不变"),
         0,
         ""},
        {"two files would get one name",
         QStringLiteral("${GetLeft(1)}"),
         false,
         {QStringLiteral("不变"), QStringLiteral("不变"), QStringLiteral("目标已存在"), ""},
         QStringLiteral("预览：0 个文件将被更改，3 个文件保持不变"),
         3,
         QStringLiteral("目标文件已存在")},
        {"the later of two is left alone",
         listFile("x\nx\n\n"),
         false,
         {"x.txt", QStringLiteral("与前面的文件重名"), QStringLiteral("不变"), ""},
         QStringLiteral("预览：1 个文件将被更改，2 个文件保持不变"),
         2,
         QStringLiteral("本次处理中前面的文件将得到同一名称")},
        {"names that would leave the folder",
         QStringLiteral("${AddLeft(../)}"),
         false,
         {QStringLiteral("名称无效"), QStringLiteral("名称无效"), QStringLiteral("名称无效"), ""},
         QStringLiteral("预览：0 个文件将被更改，3 个文件保持不变"),
         1,
         QStringLiteral("算出的新文件名为空、是“.”或“..”，或含有“/”，这样的名称会使文件离开所在目录")},
        {"a refused template",
         QStringLiteral("photo"),
         false,
         {"", "", "", ""},
         QStringLiteral("预览：新文件名格式不正确，请在左边选择变量或函数！"),
         0,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        onPage<QLabel>("lblPreview")->clear(); // so that the summary seen is the new one
        onPage<QCheckBox>("ckChains")->setChecked(c.chains);
        control<QLineEdit>("edtNewFilename")->setText(c.templ);
        expectSummary(c.summary);
        EXPECT_EQ(column(), c.column);
        if (c.redRow > 0) {
            EXPECT_TRUE(red(c.redRow));
            EXPECT_EQ(tooltip(c.redRow), c.tooltip);
        }
        EXPECT_FALSE(red(4));
    }

    // The run does what the column showed.
    onPage<QCheckBox>("ckChains")->setChecked(true);
    control<QLineEdit>("edtNewFilename")->setText(listFile("b\na\nab2\n"));
    expectSummary(QStringLiteral("预览：3 个文件将被更改，0 个文件保持不变"));
    click("btnFilename");
    EXPECT_EQ(names(), (QStringList{"b.txt", "a.txt", "ab2.txt", "c.txt"}));
    EXPECT_TRUE(QFile::exists(dir.filePath("ab2.txt")));

    choosePage(5);
    EXPECT_EQ(grid->model()->columnCount(), 6);
}

TEST_F(PreviewColumnTest, ExtensionDatesAndAttributesShowWhatWouldChange)
{
    listFiles({"a.txt", "a.doc"});
    const QString link = dir.filePath("link.txt");
    ASSERT_TRUE(QFile::link(dir.filePath("a.txt"), link));
    window.workspace().files.append(ListEntry{gbk("link.txt"), gbk(dir.path().toStdString()), 0, 0, 0});
    window.workspace().files.setMark(3, true);

    choosePage(0);
    control<QLineEdit>("edtNewExt")->setText("doc");
    expectSummary(QStringLiteral("预览：1 个文件将被更改，2 个文件保持不变"));
    EXPECT_EQ(column(), (QStringList{QStringLiteral("目标已存在"), QStringLiteral("不变"), "link.doc"}));

    choosePage(2);
    control<QCheckBox>("ckModify")->click();
    control<QDateEdit>("dtModify")->setDate(QDate(2020, 5, 6));
    control<QCheckBox>("chkTime")->click();
    control<QTimeEdit>("dtpTime")->setTime(QTime(8, 9, 10));
    expectSummary(QStringLiteral("预览：3 个文件将被更改，0 个文件保持不变"));
    EXPECT_EQ(cellText(1, 6), QStringLiteral("修改 2020-05-06 08:09:10"));
    control<QCheckBox>("ckCreate")->click();
    expectSummary(QStringLiteral("预览：2 个文件将被更改，1 个文件保持不变"));
    EXPECT_EQ(cellText(3, 6), QStringLiteral("不能更改"));
    EXPECT_EQ(tooltip(3), QStringLiteral("这是一个符号链接，符号链接本身不能记录属性和创建日期"));

    choosePage(3);
    control<QCheckBox>("ckHidden")->click();
    expectSummary(QStringLiteral("预览：2 个文件将被更改，1 个文件保持不变"));
    EXPECT_EQ(cellText(1, 6), QStringLiteral("A → AH"));
    EXPECT_TRUE(red(3));
    EXPECT_EQ(tooltip(3), QStringLiteral("这是一个符号链接，符号链接本身不能记录属性和创建日期"));
}

} // namespace
} // namespace qv::app
