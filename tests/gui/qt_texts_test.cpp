// The real message boxes, with Qt's Chinese texts installed as the program
// does at start-up: their buttons speak Chinese, and the delete question
// keeps the files when the user just presses Enter. Runs headless.

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/qt_texts.h"
#include "support/gbk.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace qv::app {
namespace {

// Runs `show`, which opens a modal message box, and hands the box to
// `answer` once it is up; `answer` must close it.
void whileBoxIsUp(const std::function<void()>& show, const std::function<void(QMessageBox&)>& answer)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        answer(*box);
    });
    show();
    EXPECT_TRUE(seen);
}

QStringList buttonTexts(const QMessageBox& box)
{
    QStringList texts;
    for (const QAbstractButton* button : box.buttons()) texts << button->text();
    std::sort(texts.begin(), texts.end());
    return texts;
}

TEST(QtTexts, MessageBoxesAndTheCalendarSpeakChinese)
{
    QtDialogs dialogs(nullptr);
    QStringList shown;
    const auto readAndAccept = [&](QMessageBox& box) {
        shown = buttonTexts(box);
        box.accept();
    };
    whileBoxIsUp([&] { dialogs.message(QMessageBox::Information, QStringLiteral("完成")); }, readAndAccept);
    EXPECT_EQ(shown, QStringList{QStringLiteral("确定")});
    whileBoxIsUp([&] { dialogs.question(QStringLiteral("继续吗？"), QMessageBox::Yes); }, readAndAccept);
    // Qt's Chinese Yes and No carry the access keys Y and N.
    EXPECT_EQ(shown, (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
    whileBoxIsUp([&] { dialogs.messageWithDetails(QMessageBox::Information, QStringLiteral("完成"), "a"); },
                 readAndAccept);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("显示详情..."), QStringLiteral("确定")}));

    const QCalendarWidget calendar;
    EXPECT_EQ(calendar.locale().standaloneMonthName(11), QStringLiteral("十一月"));
    EXPECT_EQ(calendar.locale().dayName(7, QLocale::ShortFormat), QStringLiteral("周日"));
}

TEST(QtTexts, EnterAtTheDeleteQuestionKeepsTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QFile(path).open(QIODevice::WriteOnly);
    MainWindow window; // with the real dialogs
    window.show();
    window.workspace().files.append(ListEntry{testing::gbk("a.txt"), dir.path().toStdString(), 0, 0, 0});
    window.workspace().files.setMark(1, true);
    QCoreApplication::processEvents();
    auto* del = window.findChild<QPushButton*>(QStringLiteral("cbDel"));

    QString defaultAnswer;
    whileBoxIsUp([&] { del->click(); },
                 [&](QMessageBox& box) {
                     EXPECT_EQ(box.text(), QStringLiteral("此操作将从磁盘上删除此文件且不可恢复,确认要删除吗?"));
                     defaultAnswer = box.defaultButton() ? box.defaultButton()->text() : QString();
                     QTest::keyClick(&box, Qt::Key_Return);
                 });
    EXPECT_EQ(defaultAnswer, QStringLiteral("否(&N)"));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(window.workspace().files.entryCount(), 1u);

    whileBoxIsUp([&] { del->click(); }, [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(window.workspace().files.isEmpty());
}

} // namespace
} // namespace qv::app

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (!qv::app::useChineseQtTexts()) {
        std::fprintf(stderr, "Qt's Chinese translation is not installed (qt6-translations-l10n)\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
