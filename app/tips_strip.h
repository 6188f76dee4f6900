#pragma once
// The tip strip under the operation pages (lblTips). The first tick of its
// 15-second timer shows a tip from the cache (or, without one, from the tips
// shipped with the program) and downloads the tips once, in the background.
// The download reads at most maxTipFileBytes and ends at the time limit
// however slowly the server sends; a complete download that brings tips
// replaces the cache file and is loaded. Every tick shows a random tip: its
// text (cut to maxShownTipCharacters) followed by " >>" as the caption, the
// text as the tooltip. Clicking the label opens the tip's link when it is an
// absolute web address; any other link leaves the tip plain text.

#include "app/url_opener.h"
#include "window/tips.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;

namespace qv::app {

struct TipsSettings {
    QUrl endpoint;                                    // the server's "/tips.asp"
    QString cachePath;                                // the cache file, replaced by a good download
    QString shippedPath;                              // the tips installed with the program
    std::chrono::milliseconds downloadTimeout{10000}; // the whole download, however slow

    // The server fixed at build time, or the one in QORVANE_TIPS_SERVER
    // (scheme, host and port, e.g. http://127.0.0.1:8080); the cache file in
    // the user's cache folder; the installed tips file.
    static TipsSettings fromEnvironment();
};

// Tip bytes as text: UTF-8 when they are valid UTF-8, otherwise code page 936.
QString tipText(std::string_view bytes);

class TipsStrip final : public QObject {
    Q_OBJECT
public:
    // `tips` and `random` belong to the window's workspace and must outlive
    // the strip; `label` is the window's lblTips.
    TipsStrip(QLabel* label, TipRotation& tips, RandomIndex& random, TipsSettings settings, QObject* parent);

    // Starts the 15-second timer (the window does, tests tick by hand).
    void start();
    // Not owned; must outlive the strip. The desktop's opener until set.
    void setUrlOpener(UrlOpener* opener) { opener_ = opener; }

    void Timer1Timer();
    void lblTipsClick();

signals:
    // The download has ended, well or not, and the tips are loaded.
    void tipsLoaded();

private:
    void fetch();
    // Takes what has arrived, up to one byte past the size limit; past it
    // the download is aborted.
    void readArrived(QNetworkReply* reply);
    void downloadFinished(QNetworkReply* reply);
    void loadCachedTips();
    // Writes `body` as the cache file, replacing it whole or not at all.
    bool writeCache(const QByteArray& body);
    void showNextTip();

    QLabel* label_;
    TipRotation& tips_;
    RandomIndex& random_;
    TipsSettings settings_;
    QTimer timer_;
    QNetworkAccessManager* network_ = nullptr;
    QByteArray body_;
    bool cutOff_ = false;
    DesktopUrlOpener desktop_;
    UrlOpener* opener_ = &desktop_;
};

} // namespace qv::app
