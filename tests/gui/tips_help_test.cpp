// The tip strip against a local HTTP server (never the internet), the help
// button's choice of usage file, and the links going through a recording
// opener. Runs headless.

#include "app/help_links.h"
#include "app/main_window.h"
#include "app/tips_strip.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace qv::app {
namespace {

class RecordingOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override
    {
        opened.push_back(url);
        return desktopCanOpen;
    }
    std::vector<QUrl> opened;
    bool desktopCanOpen = true;
};

// Answers every request with one fixed HTTP response and remembers the
// request lines it was sent.
class TipServer final : public QObject {
public:
    TipServer(int status, QByteArray body) : status_(status), body_(std::move(body))
    {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        });
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
    QList<QByteArray> requestLines;

private:
    void answer(QTcpSocket* socket)
    {
        request_ += socket->readAll();
        if (!request_.contains("\r\n\r\n")) return;
        requestLines.push_back(request_.left(request_.indexOf("\r\n")));
        socket->write("HTTP/1.1 " + QByteArray::number(status_) + " X\r\nContent-Length: " +
                      QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_);
        socket->disconnectFromHost();
        request_.clear();
    }
    QTcpServer server_;
    int status_;
    QByteArray body_;
    QByteArray request_;
};

// Answers the first request with a 200 header and then a body that never
// ends: sent as fast as the client takes it (Endless), one byte every 100 ms
// (Trickle), or nothing at all, not even the header (Silent). Stops sending
// after `giveUpAfter` bytes so that a client without a limit cannot run the
// test out of memory.
class EndlessServer final : public QObject {
public:
    enum class Mode { Endless, Trickle, Silent };
    static constexpr qint64 giveUpAfter = 64 * 1024 * 1024;

    explicit EndlessServer(Mode mode) : mode_(mode)
    {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { start(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this] { clientLeft = true; });
            }
        });
        connect(&trickle_, &QTimer::timeout, this, [this] { send("x"); });
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
    qint64 bodyBytesSent = 0;
    bool clientLeft = false;

private:
    void start(QTcpSocket* socket)
    {
        socket->readAll();
        if (socket_ || mode_ == Mode::Silent) return;
        socket_ = socket;
        socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
        if (mode_ == Mode::Trickle) {
            trickle_.start(100);
            return;
        }
        connect(socket, &QTcpSocket::bytesWritten, this, [this] {
            if (socket_->bytesToWrite() < 256 * 1024) send(QByteArray(64 * 1024, 'x'));
        });
        send(QByteArray(64 * 1024, 'x'));
    }
    void send(const QByteArray& bytes)
    {
        if (clientLeft || bodyBytesSent >= giveUpAfter) return;
        bodyBytesSent += socket_->write(bytes);
    }
    QTcpServer server_;
    Mode mode_;
    QTcpSocket* socket_ = nullptr;
    QTimer trickle_;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class Tips : public ::testing::Test {
protected:
    // A strip whose settings come from the environment, pointed at `server`,
    // with its cache and shipped tips in a temporary folder.
    template <typename Server> void startStrip(const Server& server)
    {
        QSignalSpy loaded(makeStrip(server, std::chrono::seconds(10)), &TipsStrip::tipsLoaded);
        strip->Timer1Timer();
        ASSERT_TRUE(loaded.wait(20000));
    }
    template <typename Server> TipsStrip* makeStrip(const Server& server, std::chrono::milliseconds timeout)
    {
        qputenv("QORVANE_TIPS_SERVER", server.address().toUtf8() + "/");
        TipsSettings settings = TipsSettings::fromEnvironment();
        settings.cachePath = cachePath;
        settings.shippedPath = shippedPath;
        settings.downloadTimeout = timeout;
        strip = std::make_unique<TipsStrip>(&label, tips, random, settings, nullptr);
        strip->setUrlOpener(&opener);
        return strip.get();
    }
    void writeCache(const QByteArray& bytes)
    {
        QDir().mkpath(dir.filePath(QStringLiteral("cache")));
        writeFile(cachePath, bytes);
    }
    void clickTip() { QTest::mouseClick(&label, Qt::LeftButton); }

    QTemporaryDir dir;
    const QString cachePath = dir.filePath(QStringLiteral("cache/tipsupd.dat"));
    const QString shippedPath = dir.filePath(QStringLiteral("tips.txt"));
    QLabel label;
    TipRotation tips;
    RandomIndex random{3};
    RecordingOpener opener;
    std::unique_ptr<TipsStrip> strip;
};

TEST_F(Tips, AGoodDownloadFillsTheCacheAndTheStripAndTheClickOpensTheLink)
{
    const QByteArray body = "用 ${Sn(1,3)} 给文件编号@#$https://tips.example/sn\r\n";
    TipServer server(200, body);
    startStrip(server);
    EXPECT_EQ(server.requestLines, QList<QByteArray>{"GET /tips.asp HTTP/1.1"});
    EXPECT_EQ(readAll(cachePath), body);
    EXPECT_EQ(label.text(), QStringLiteral("用 ${Sn(1,3)} 给文件编号 >>"));
    EXPECT_EQ(label.toolTip(), QStringLiteral("用 ${Sn(1,3)} 给文件编号"));
    clickTip();
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0], QUrl(QStringLiteral("https://tips.example/sn")));
}

TEST_F(Tips, ALineWithoutSeparatorIsShownWholeAndOpensNothing)
{
    TipServer server(200, "\xb0\xb4\xc1\xd0\xb1\xea\xcc\xe2\xc5\xc5\xd0\xf2\r\n"); // code page 936: 按列标题排序
    startStrip(server);
    EXPECT_EQ(label.text(), QStringLiteral("按列标题排序 >>"));
    EXPECT_EQ(label.toolTip(), QStringLiteral("按列标题排序"));
    clickTip();
    EXPECT_TRUE(opener.opened.empty());
}

TEST_F(Tips, AFailedDownloadKeepsTheCachedTips)
{
    QDir().mkpath(dir.filePath(QStringLiteral("cache")));
    writeFile(cachePath, "cached tip@#$https://old.example/\r\n");
    writeFile(shippedPath, "shipped tip@#$https://shipped.example/\r\n");
    TipServer server(500, "server error@#$https://error.example/\r\n");
    startStrip(server);
    EXPECT_EQ(readAll(cachePath), "cached tip@#$https://old.example/\r\n");
    EXPECT_EQ(label.text(), QStringLiteral("cached tip >>"));
    strip->Timer1Timer(); // later ticks rotate without downloading again
    EXPECT_EQ(server.requestLines.size(), 1);
    EXPECT_EQ(label.text(), QStringLiteral("cached tip >>"));
}

TEST_F(Tips, ACacheThatCannotBeWrittenStillShowsTheDownloadedTips)
{
    writeFile(dir.filePath(QStringLiteral("cache")), "a file where the cache folder should be");
    writeFile(shippedPath, "shipped tip@#$https://shipped.example/\r\n");
    TipServer server(200, "fresh tip@#$https://fresh.example/\r\n");
    startStrip(server);
    EXPECT_FALSE(QFile::exists(cachePath));
    EXPECT_EQ(label.text(), QStringLiteral("fresh tip >>"));
}

TEST_F(Tips, WithNothingCachedTheShippedTipsAreShown)
{
    writeFile(shippedPath, "shipped tip@#$https://shipped.example/a\r\n");
    TipServer server(200, "");
    startStrip(server);
    EXPECT_FALSE(QFile::exists(cachePath));
    EXPECT_EQ(label.text(), QStringLiteral("shipped tip >>"));
    clickTip();
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0], QUrl(QStringLiteral("https://shipped.example/a")));
}

TEST_F(Tips, LinksOtherThanWebAddressesArePlainText)
{
    for (const QByteArray link : {"notes.txt", "file:///usr/bin/xterm", "javascript:alert(1)", "/usr/bin/xterm",
                                  "smb://host/share", "run.desktop", "http:///etc/passwd"}) {
        TipServer server(200, "tip@#$" + link + "\r\n");
        startStrip(server);
        EXPECT_EQ(label.text(), QStringLiteral("tip >>")) << link.toStdString();
        EXPECT_EQ(label.cursor().shape(), Qt::ArrowCursor) << link.toStdString();
        clickTip();
        EXPECT_TRUE(opener.opened.empty()) << link.toStdString();
        tips = TipRotation();
    }
}

TEST_F(Tips, ALongTipIsCutForShowing)
{
    TipServer server(200, QByteArray(5000, 'a') + "@#$https://x.example/\r\n");
    startStrip(server);
    EXPECT_EQ(label.text(), QString(200, QLatin1Char('a')) + QStringLiteral(" >>"));
}

TEST_F(Tips, ABodyPastTheLimitIsCutOffAndKeepsTheCache)
{
    writeCache("cached tip@#$https://old.example/\r\n");
    EndlessServer server(EndlessServer::Mode::Endless);
    QSignalSpy loaded(makeStrip(server, std::chrono::seconds(60)), &TipsStrip::tipsLoaded);
    strip->Timer1Timer();
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_EQ(readAll(cachePath), "cached tip@#$https://old.example/\r\n");
    EXPECT_EQ(label.text(), QStringLiteral("cached tip >>"));
    QTest::qWait(200); // lets the server see the client leave
    EXPECT_TRUE(server.clientLeft);
    EXPECT_LT(server.bodyBytesSent, 8 * 1024 * 1024); // the 1 MiB limit plus what the sockets buffer
}

TEST_F(Tips, WhileAServerTricklesTheCachedTipsAreShown)
{
    writeCache("cached tip@#$https://old.example/\r\n");
    EndlessServer server(EndlessServer::Mode::Trickle);
    QSignalSpy loaded(makeStrip(server, std::chrono::milliseconds(1500)), &TipsStrip::tipsLoaded);
    strip->Timer1Timer();
    EXPECT_EQ(label.text(), QStringLiteral("cached tip >>"));
    ASSERT_TRUE(loaded.wait(10000)); // the time limit ends the download
    EXPECT_GT(server.bodyBytesSent, 0);
    EXPECT_EQ(readAll(cachePath), "cached tip@#$https://old.example/\r\n");
    EXPECT_EQ(label.text(), QStringLiteral("cached tip >>"));
}

QStringList warnings;
void recordWarning(QtMsgType, const QMessageLogContext&, const QString& message)
{
    warnings.push_back(message);
}

TEST_F(Tips, ATimedOutDownloadPrintsNoWarning)
{
    writeFile(shippedPath, "shipped tip@#$https://shipped.example/\r\n");
    EndlessServer server(EndlessServer::Mode::Silent);
    QSignalSpy loaded(makeStrip(server, std::chrono::milliseconds(500)), &TipsStrip::tipsLoaded);
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordWarning);
    strip->Timer1Timer();
    const bool ended = loaded.wait(10000);
    qInstallMessageHandler(previous);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(label.text(), QStringLiteral("shipped tip >>"));
}

TEST(ShippedTips, EveryLineIsATipWithALink)
{
    const QString path = installedDataFile(QStringLiteral("tips.txt"));
    ASSERT_FALSE(path.isEmpty());
    const std::string text = readAll(path).toStdString();
    const std::vector<std::string> lines = tipLines(text);
    EXPECT_GE(lines.size(), 10u);
    for (const std::string& line : lines) {
        const Tip tip = parseTipLine(line);
        EXPECT_FALSE(tip.text.empty()) << line;
        EXPECT_TRUE(isOpenableTipLink(tip.link)) << line;
    }
}

TEST(Help, TheUsageFileInTheWorkingFolderComesFirstThenTheInstalledCopy)
{
    QTemporaryDir work;
    QTemporaryDir installed;
    const QString installedCopy = installed.filePath(usageFileName);
    const QString local = QDir(work.path()).filePath(usageFileName);
    EXPECT_EQ(usageFilePath(work.path(), installedCopy), local); // neither exists
    writeFile(installedCopy, "installed");
    EXPECT_EQ(usageFilePath(work.path(), installedCopy), installedCopy);
    writeFile(local, "local");
    EXPECT_EQ(usageFilePath(work.path(), installedCopy), local);
}

class Window : public ::testing::Test {
protected:
    Window()
    {
        qputenv("QORVANE_TIPS_SERVER", "http://127.0.0.1:9"); // nobody listens there
        window = std::make_unique<MainWindow>();
    }
    template <typename T> T* child(const char* name) { return window->findChild<T*>(QString::fromLatin1(name)); }
    std::unique_ptr<MainWindow> window;
    RecordingOpener opener;
};

TEST_F(Window, HelpButtonOpensTheUsageFileAndTheMakerLinkTheAboutBox)
{
    window->findChild<HelpLinks*>()->setUrlOpener(&opener);
    const QString before = QDir::currentPath();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    child<QToolButton>("SpeedButton1")->click();
    writeFile(QDir(work.path()).filePath(usageFileName), "local");
    child<QToolButton>("SpeedButton1")->click();
    QDir::setCurrent(before);
    ASSERT_EQ(opener.opened.size(), 2u);
    EXPECT_EQ(opener.opened[0], QUrl::fromLocalFile(installedDataFile(usageFileName)));
    EXPECT_FALSE(installedDataFile(usageFileName).isEmpty());
    EXPECT_EQ(opener.opened[1], QUrl::fromLocalFile(QDir(work.path()).filePath(usageFileName)));
    EXPECT_EQ(window->findChild<QDialog*>("usageWindow"), nullptr);

    QTest::mouseClick(child<QLabel>("Label11"), Qt::LeftButton);
    if (!homePage().isEmpty()) { // a build with a home page opens it
        ASSERT_EQ(opener.opened.size(), 3u);
        EXPECT_EQ(opener.opened[2], homePage());
        return;
    }
    // Without one the maker link tells about the program.
    EXPECT_EQ(opener.opened.size(), 2u);
    auto* about = window->findChild<QMessageBox*>("aboutBox");
    ASSERT_NE(about, nullptr);
    const QStringList lines = about->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("Qorvane文件批量处理"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("版本：V3.1.730（软件包 "))) << lines[1].toStdString();
    EXPECT_EQ(lines[2], QStringLiteral("许可证：Apache License 2.0"));
    EXPECT_EQ(lines[3], QStringLiteral("使用说明：") + installedDataFile(usageFileName));
}

TEST_F(Window, WithoutADesktopProgramTheUsageFileIsShownInAWindowOfItsOwn)
{
    window->findChild<HelpLinks*>()->setUrlOpener(&opener);
    opener.desktopCanOpen = false;
    child<QToolButton>("SpeedButton1")->click();
    ASSERT_EQ(opener.opened.size(), 1u);
    auto* shown = window->findChild<QDialog*>("usageWindow");
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    auto* text = shown->findChild<QPlainTextEdit*>("usageText");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(text->toPlainText().startsWith(QStringLiteral("Qorvane文件批量处理 使用说明\n")));
    child<QToolButton>("SpeedButton1")->click(); // the open window comes forward, no second one
    EXPECT_EQ(window->findChildren<QDialog*>("usageWindow").size(), 1);
}

TEST_F(Window, OfflineTheTipStripShowsAShippedTip)
{
    auto* strip = window->findChild<TipsStrip*>(QStringLiteral("Timer1"));
    ASSERT_NE(strip, nullptr);
    QSignalSpy loaded(strip, &TipsStrip::tipsLoaded);
    strip->Timer1Timer(); // the server named by the test's environment refuses
    ASSERT_TRUE(loaded.wait(20000));
    const QString shown = child<QLabel>("lblTips")->text();
    ASSERT_TRUE(shown.endsWith(QStringLiteral(" >>")));
    const QByteArray shipped = readAll(installedDataFile(QStringLiteral("tips.txt")));
    EXPECT_TRUE(shipped.contains((shown.chopped(3) + QStringLiteral("@#$")).toUtf8())) << shown.toStdString();
}

} // namespace
} // namespace qv::app

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true); // the window's cache stays out of the user's
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
