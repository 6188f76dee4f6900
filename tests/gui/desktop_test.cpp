// The window on the desktop: paths from the command line, a later start and
// drops; the boxes' histories across starts; the grid's context menu and
// keys. Runs headless.

#include "app/grid_menu.h"
#include "app/launch_arguments.h"
#include "app/single_instance.h"
#include "gui/window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QLocalSocket>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStringListModel>
#include <QTabWidget>
#include <QThread>

namespace qv::app {
namespace {

using testing::ScriptedDialogs;
using testing::SettingsFolder;
using testing::Window;
using testing::WindowOnDisk;

const QString unconvertibleMessage = QStringLiteral("有 1 个文件或目录的名称无法以GBK编码表示，已跳过。");

class RecordingOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override
    {
        opened << url;
        return true;
    }
    QList<QUrl> opened;
};

TEST(LaunchArguments, PathsAreMadeAbsoluteAndOptionsTakenOut)
{
    struct Case {
        QStringList arguments;
        QStringList paths;
        bool quitAfterStart;
        QStringList unknown;
    } cases[] = {
        {{}, {}, false, {}},
        {{"a.txt", "/x/b.csv"}, {"/work/a.txt", "/x/b.csv"}, false, {}},
        {{"../up/c.txt", "./d"}, {"/work/../up/c.txt", "/work/./d"}, false, {}},
        {{"--quit-after-start", "a"}, {"/work/a"}, true, {}},
        {{"--bogus", "a"}, {"/work/a"}, false, {"--bogus"}},
        {{"--", "--quit-after-start", "-x"}, {"/work/--quit-after-start", "/work/-x"}, false, {}},
        {{"file:///x/with%20space.txt", "-"}, {"/x/with space.txt", "/work/-"}, false, {}},
        {{QStringLiteral("文件.txt")}, {QStringLiteral("/work/文件.txt")}, false, {}},
    };
    for (const Case& c : cases) {
        const LaunchArguments parsed = parseLaunchArguments(c.arguments, "/work");
        EXPECT_EQ(parsed.paths, c.paths) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(parsed.quitAfterStart, c.quitAfterStart) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(parsed.unknownOptions, c.unknown) << c.arguments.join(' ').toStdString();
        EXPECT_FALSE(parsed.help);
    }
    EXPECT_TRUE(parseLaunchArguments({"--help"}, "/work").help);
}

class Desktop : public WindowOnDisk {
protected:
    QString folder(const QString& relative)
    {
        QDir().mkpath(dir.filePath(relative));
        return dir.filePath(relative);
    }
    QString folderBox() { return control<QLineEdit>("edFolder")->text(); }
};

TEST_F(Desktop, OpenedFilesAreAddedAsTheAddCommandAddsThemAndFoldersFillTheFolderBox)
{
    const QString one = file(QStringLiteral("一.txt"), 3);
    const QString csv = file("sub/b.csv");
    file("?.txt");                                       // what the emoji name would wrongly become
    const QString emoji = file(QStringLiteral("😀.txt")); // no GBK form
    file("other.txt");                                   // in the folder, but nothing is searched
    const QString f1 = folder("f1");
    const QString f2 = folder(QStringLiteral("目录2"));

    window.openPaths({one, f1, emoji, dir.filePath("missing.txt"), csv, f2});

    EXPECT_EQ(names(), (QStringList{QStringLiteral("一.txt"), "b.csv"}));
    EXPECT_EQ(cellText(1, 1), dir.path());
    EXPECT_EQ(cellText(1, 2), "3");
    EXPECT_EQ(cellText(2, 1), dir.filePath("sub"));
    EXPECT_EQ(cellText(2, 5), ".csv");
    EXPECT_EQ(label("stSrcCount"), "2");
    EXPECT_EQ(folderBox(), f1 + ";" + f2);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(dialogs->messages[0].text, unconvertibleMessage);

    // Files only: the folder box keeps its text; a folder only: the list stays.
    window.openPaths({one});
    EXPECT_EQ(folderBox(), f1 + ";" + f2);
    EXPECT_EQ(label("stSrcCount"), "3");
    window.openPaths({f2});
    EXPECT_EQ(folderBox(), f2);
    EXPECT_EQ(label("stSrcCount"), "3");
}

TEST_F(Desktop, AFolderWhoseNameHoldsASemicolonIsRefused)
{
    const QString before = folderBox();
    window.openPaths({folder("a;b")});
    EXPECT_EQ(folderBox(), before);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialogs->messages[0].text,
              QStringLiteral("目录名称含有分号(;)，不能作为搜索目录：") + dir.filePath("a;b"));
}

class Drops : public Desktop {
protected:
    // A drag entering the grid and, when it was accepted, its drop; true
    // when the grid accepted the drag.
    bool drop(const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = grid->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &enter);
        if (!enter.isAccepted()) return false;
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        return true;
    }
};

TEST_F(Drops, DroppedFilesAreAddedAndADroppedFolderGoesToTheFolderBox)
{
    const QString a = file("a.txt", 5);
    const QString b = file(QStringLiteral("乙.ini"));
    file("?.txt");
    const QString emoji = file(QStringLiteral("😀.txt"));
    const QString f = folder("drop");
    EXPECT_TRUE(drop({QUrl::fromLocalFile(a), QUrl::fromLocalFile(f), QUrl::fromLocalFile(emoji),
                      QUrl(QStringLiteral("https://example.com/x.txt")), QUrl::fromLocalFile(b)}));
    EXPECT_EQ(names(), (QStringList{"a.txt", QStringLiteral("乙.ini")}));
    EXPECT_EQ(cellText(1, 2), "5");
    EXPECT_EQ(label("stSrcCount"), "2");
    EXPECT_EQ(folderBox(), f);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, unconvertibleMessage);
}

TEST_F(Drops, ADragWithoutLocalFilesIsRefused)
{
    EXPECT_FALSE(drop({QUrl(QStringLiteral("https://example.com/x.txt"))}));
    EXPECT_FALSE(drop({}));
    EXPECT_EQ(label("stSrcCount"), "0");
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(Desktop, ALaterStartHandsItsPathsToTheOpenWindow)
{
    const QString socket = dir.filePath("open.sock");
    OpenRequestServer server;
    ASSERT_TRUE(server.listen(socket));
    QObject::connect(&server, &OpenRequestServer::pathsReceived, &window, &MainWindow::openPaths);
    const QString a = file("a.txt");
    const QString f = folder("f");
    // The later start blocks while it waits for the window's answer, so it
    // runs on a thread of its own here.
    bool sent = false;
    std::unique_ptr<QThread> later(QThread::create([&] { sent = sendToRunningWindow({a, f}, socket); }));
    later->start();
    while (!later->isFinished()) QTest::qWait(10);
    EXPECT_TRUE(sent);
    EXPECT_EQ(names(), QStringList{"a.txt"});
    EXPECT_EQ(folderBox(), f);

    // No window listening: the start opens its own.
    EXPECT_FALSE(sendToRunningWindow({a}, dir.filePath("nobody.sock")));
}

TEST_F(Desktop, AStaleSocketIsReplacedALiveOneIsNot)
{
    const QString socket = dir.filePath("open.sock");
    file("open.sock"); // left behind by a window that is gone
    OpenRequestServer first;
    EXPECT_TRUE(first.listen(socket));
    OpenRequestServer second;
    EXPECT_FALSE(second.listen(socket));
}

TEST(OpenRequest, MalformedRequestsAreRejected)
{
    const QStringList paths{"/a b.txt", QStringLiteral("/目录/c")};
    EXPECT_EQ(decodeOpenRequest(encodeOpenRequest(paths)), paths);
    EXPECT_EQ(decodeOpenRequest(encodeOpenRequest({})), QStringList{});
    const QByteArray bad[] = {
        QByteArray(),
        QByteArrayLiteral("qorvane-open 1\n"),             // unfinished
        QByteArrayLiteral("qorvane-open 1\n/a\0"),         // no closing NUL
        QByteArrayLiteral("qorvane-open 2\n/a\0\0"),       // another version
        QByteArrayLiteral("qorvane-open 1\n/a\0\0/b\0\0"), // more after the end
        QByteArrayLiteral("GET / HTTP/1.1\r\n\r\n"),
    };
    for (const QByteArray& bytes : bad) EXPECT_EQ(decodeOpenRequest(bytes), std::nullopt) << bytes.toStdString();
}

TEST_F(Desktop, AMalformedRequestOpensNothing)
{
    const QString socket = dir.filePath("open.sock");
    OpenRequestServer server;
    ASSERT_TRUE(server.listen(socket));
    QSignalSpy received(&server, &OpenRequestServer::pathsReceived);
    QLocalSocket client;
    client.connectToServer(socket);
    ASSERT_TRUE(client.waitForConnected(1000));
    client.write(QByteArrayLiteral("qorvane-open 1\n/a\0\0/b\0\0"));
    client.flush();
    QTest::qWait(200);
    EXPECT_EQ(received.count(), 0);
    EXPECT_NE(client.state(), QLocalSocket::ConnectedState);
}

// The history of a box: what its completer offers.
QStringList offered(QLineEdit* box)
{
    if (!box->completer()) return {};
    return static_cast<QStringListModel*>(box->completer()->model())->stringList();
}

class History : public ::testing::Test {
protected:
    struct Started {
        ScriptedDialogs* dialogs = new ScriptedDialogs;
        MainWindow window{std::unique_ptr<Dialogs>(dialogs)};
        template <typename W> W* control(const char* name) { return window.findChild<W*>(QString::fromLatin1(name)); }
        void click(const char* name) { control<QAbstractButton>(name)->click(); }
    };
    QString path(const QString& name)
    {
        QFile(data.filePath(name)).open(QIODevice::WriteOnly);
        return data.filePath(name);
    }

    SettingsFolder settings;
    QTemporaryDir data;
};

TEST_F(History, BoxesOfferWhatRunsThatWereNotRefusedUsedAndStartWithTheirDefaults)
{
    QList<int> splitter;
    {
        Started first;
        first.window.show();
        first.control<QLineEdit>("edFolder")->setText(data.path());
        first.control<QComboBox>("cmbFileType")->setCurrentText("*.csv");
        first.click("cbSearch");
        first.control<QComboBox>("cmbFileType")->setCurrentText("*.ini");
        first.click("cbSearch");
        // Refused: an empty type text.
        first.control<QLineEdit>("edFolder")->setText("/refused");
        first.control<QComboBox>("cmbFileType")->setCurrentText("  ");
        first.click("cbSearch");
        EXPECT_EQ(first.dialogs->messages.back().text, QStringLiteral("文件类型为空,请设置好后再试！"));

        // Refused: nothing in the list. Then a run that goes through.
        auto* box = first.control<QLineEdit>("edtNewFilename");
        box->setText("${AddLeft(refused_)}");
        first.click("btnFilename");
        first.window.openPaths({path("a.txt")});
        first.window.workspace().files.setMark(1, true);
        box->setText("${AddLeft(x_)}");
        first.click("btnFilename");
        EXPECT_TRUE(QFile::exists(data.filePath("x_a.txt")));
        first.window.resize(760, 560);
        first.control<QSplitter>("Splitter1")->setSizes({200, 300});
        EXPECT_EQ(first.window.size(), QSize(760, 560));
        splitter = first.control<QSplitter>("Splitter1")->sizes();
    }
    Started second;
    second.window.show();
    EXPECT_EQ(second.control<QLineEdit>("edFolder")->text(), QDir::currentPath());
    EXPECT_EQ(second.control<QComboBox>("cmbFileType")->currentText(), "*.txt");
    EXPECT_EQ(second.control<QComboBox>("cmbFileType")->count(), 10);
    EXPECT_EQ(second.control<QLineEdit>("edtNewFilename")->text(), "");
    EXPECT_EQ(offered(second.control<QLineEdit>("edFolder")), QStringList{data.path()});
    EXPECT_EQ(offered(second.control<QComboBox>("cmbFileType")->lineEdit()), (QStringList{"*.ini", "*.csv"}));
    EXPECT_EQ(offered(second.control<QLineEdit>("edtNewFilename")), QStringList{"${AddLeft(x_)}"});
    EXPECT_EQ(offered(second.control<QLineEdit>("edtCutFormat")), QStringList{});
    EXPECT_EQ(second.window.size(), QSize(760, 560));
    EXPECT_EQ(second.control<QSplitter>("Splitter1")->sizes(), splitter);
    EXPECT_NE(splitter, (QList<int>{350, 250}));
}

TEST_F(History, ADamagedSettingsFileIsIgnoredAndWrittenAnew)
{
    QDir().mkpath(QFileInfo(settings.file()).path());
    QFile damaged(settings.file());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    static const char bytes[] = "\xff\xfe[history\x00]\nedFolder=@Variant(\\0\\0\\0\\x7f)\n[window]\n"
                                "geometry=@ByteArray(xx)\nsplitter=\x01\x02===\n";
    damaged.write(bytes, sizeof bytes - 1);
    damaged.close();
    {
        Started first;
        first.window.show();
        EXPECT_EQ(first.window.size(), QSize(800, 600));
        EXPECT_EQ(first.control<QLineEdit>("edFolder")->text(), QDir::currentPath());
        EXPECT_EQ(offered(first.control<QLineEdit>("edFolder")), QStringList{});
        first.control<QLineEdit>("edFolder")->setText(data.path());
        first.click("cbSearch");
    }
    Started second;
    EXPECT_EQ(offered(second.control<QLineEdit>("edFolder")), QStringList{data.path()});
}

class GridKeysAndMenu : public Desktop {
protected:
    void SetUp() override
    {
        window.openPaths({file("a.txt"), file("b.txt")});
        menu = window.findChild<GridMenu*>();
        ASSERT_NE(menu, nullptr);
        menu->setUrlOpener(&opener);
    }
    // A right click on a cell: the menu opens once the release is handled.
    QMenu* rightClick(int gridRow, int column)
    {
        const QModelIndex cell = grid->model()->index(gridRow - 1, column);
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, grid->visualRect(cell).center());
        QCoreApplication::processEvents();
        EXPECT_TRUE(menu->menu()->isVisible());
        return menu->menu();
    }
    void choose(QMenu* shown, const QString& text)
    {
        for (QAction* action : shown->actions())
            if (action->text() == text) {
                ASSERT_TRUE(action->isEnabled()) << text.toStdString();
                shown->hide();
                action->trigger();
                return;
            }
        ADD_FAILURE() << "no action " << text.toStdString();
    }
    static QStringList texts(const QMenu* shown)
    {
        QStringList out;
        for (const QAction* action : shown->actions()) out << action->text();
        return out;
    }

    GridMenu* menu = nullptr;
    RecordingOpener opener;
};

TEST_F(GridKeysAndMenu, TheMenuActsOnTheRowUnderThePointer)
{
    QMenu* shown = rightClick(2, 2);
    EXPECT_EQ(texts(shown),
              (QStringList{QStringLiteral("打开"), QStringLiteral("打开所在文件夹"), QStringLiteral("复制完整路径"), "",
                           QStringLiteral("标记"), QStringLiteral("从列表中移除")}));
    choose(shown, QStringLiteral("打开"));
    choose(rightClick(2, 2), QStringLiteral("打开所在文件夹"));
    EXPECT_EQ(opener.opened,
              (QList<QUrl>{QUrl::fromLocalFile(dir.filePath("b.txt")), QUrl::fromLocalFile(dir.path())}));
    choose(rightClick(2, 2), QStringLiteral("复制完整路径"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), dir.filePath("b.txt"));

    choose(rightClick(2, 2), QStringLiteral("标记"));
    EXPECT_EQ(marks(), (std::vector<bool>{false, true}));
    EXPECT_EQ(texts(rightClick(2, 2))[4], QStringLiteral("取消标记"));
    choose(menu->menu(), QStringLiteral("取消标记"));
    EXPECT_EQ(marks(), (std::vector<bool>{false, false}));

    choose(rightClick(1, 3), QStringLiteral("从列表中移除"));
    EXPECT_EQ(names(), QStringList{"b.txt"});
    EXPECT_EQ(label("stSrcCount"), "1");
    EXPECT_TRUE(QFile::exists(dir.filePath("a.txt")));
    choose(rightClick(1, 3), QStringLiteral("从列表中移除"));
    EXPECT_EQ(label("stSrcCount"), "0");

    // The placeholder row: only its mark can change.
    for (QAction* action : rightClick(1, 1)->actions())
        EXPECT_EQ(action->isEnabled(), action->isSeparator() || action->text() == QStringLiteral("标记") ||
                                           action->text() == QStringLiteral("取消标记"))
            << action->text().toStdString();
    menu->menu()->hide();
}

TEST_F(GridKeysAndMenu, RightReleasesStillFlipTheSortDirectionAndNameCellMarks)
{
    const bool before = window.workspace().sortAscending;
    rightClick(1, 2)->hide();
    EXPECT_EQ(window.workspace().sortAscending, !before);
    EXPECT_EQ(marks(), (std::vector<bool>{false, false}));
    // On a name cell the release flips its mark first; the menu then offers to clear it.
    QMenu* shown = rightClick(1, 0);
    EXPECT_EQ(window.workspace().sortAscending, before);
    EXPECT_EQ(marks(), (std::vector<bool>{true, false}));
    EXPECT_EQ(texts(shown)[4], QStringLiteral("取消标记"));
    shown->hide();
}

TEST_F(GridKeysAndMenu, SpaceFlipsTheCurrentRowsMarkAndTheMenuKeyOpensTheMenu)
{
    clickCell(2, 3);
    const bool direction = window.workspace().sortAscending;
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(marks(), (std::vector<bool>{false, true}));
    QTest::keyClick(grid, Qt::Key_Down); // stays on the last row
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(marks(), (std::vector<bool>{true, true}));
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(marks(), (std::vector<bool>{false, true}));
    EXPECT_EQ(window.workspace().sortAscending, direction);

    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(1, 1), grid->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(grid, &key);
    EXPECT_TRUE(menu->menu()->isVisible());
    choose(menu->menu(), QStringLiteral("复制完整路径"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), dir.filePath("a.txt"));
}

TEST_F(Window, TabReachesEveryControlInReadingOrder)
{
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    control<QWidget>("edFolder")->setFocus();
    QStringList order;
    for (int step = 0; step < 40; ++step) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QString name = focused->objectName();
        if (name.isEmpty() && focused->parentWidget()) name = focused->parentWidget()->objectName();
        if (!order.isEmpty() && name == order.front()) break;
        order << name;
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    const QStringList expected{"edFolder",     "btnOpen",        "cmbFileType", "ckFileSize", "ckFileDate", "ckSub",
                               "cbSearch",     "btnSelAll",      "btnDeSelAll", "btnInverse", "btnAdd",     "btnDel",
                               "btnExp",       "btnExpDir",      "cbDel",       "sgFiles",    "cmbOpt",     "cmbVar",
                               "SpeedButton1", "edtNewFilename", "btnFilename"};
    QStringList reached;
    for (const QString& name : order)
        if (expected.contains(name)) reached << name;
    EXPECT_EQ(reached.join(' ').toStdString(), expected.join(' ').toStdString()) << order.join(' ').toStdString();
}

} // namespace
} // namespace qv::app
