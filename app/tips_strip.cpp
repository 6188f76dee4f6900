#include "app/tips_strip.h"

#include "app/gbk_text.h"
#include "app/help_links.h"
#include "app/left_click.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <utility>

namespace qv::app {
namespace {

constexpr std::chrono::milliseconds tickInterval{15000};
constexpr qint64 networkReadBuffer = 64 * 1024;

// The file's bytes; nothing when it is missing or larger than any tips file
// this program keeps (a cache left by an older version may be).
std::optional<std::string> readTipsFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > static_cast<qint64>(maxTipFileBytes)) return std::nullopt;
    return file.read(static_cast<qint64>(maxTipFileBytes)).toStdString();
}

} // namespace

TipsSettings TipsSettings::fromEnvironment()
{
    QString server = qEnvironmentVariable("QORVANE_TIPS_SERVER", QStringLiteral(QV_TIPS_SERVER));
    while (server.endsWith(QLatin1Char('/'))) server.chop(1);
    TipsSettings settings;
    settings.endpoint = QUrl(server + QStringLiteral("/tips.asp"));
    settings.cachePath =
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/tipsupd.dat");
    settings.shippedPath = installedDataFile(QStringLiteral("tips.txt"));
    return settings;
}

QString tipText(std::string_view bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? fromGbk(bytes) : text;
}

namespace {

QString shownTipText(QString text)
{
    if (text.size() <= maxShownTipCharacters) return text;
    qsizetype length = maxShownTipCharacters;
    if (text.at(length - 1).isHighSurrogate()) --length;
    return text.left(length);
}

// The tip link as a web address, or an empty address when it is not an
// absolute http or https one.
QUrl webAddress(std::string_view link)
{
    if (!isOpenableTipLink(link)) return {};
    const QUrl url(tipText(link));
    const bool web = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    return url.isValid() && web && !url.host().isEmpty() ? url : QUrl();
}

} // namespace

TipsStrip::TipsStrip(QLabel* label, TipRotation& tips, RandomIndex& random, TipsSettings settings, QObject* parent)
    : QObject(parent), label_(label), tips_(tips), random_(random), settings_(std::move(settings))
{
    setObjectName(QStringLiteral("Timer1"));
    timer_.setInterval(tickInterval);
    connect(&timer_, &QTimer::timeout, this, &TipsStrip::Timer1Timer);
    onLeftClick(label_, this, [this] { lblTipsClick(); });
}

void TipsStrip::start()
{
    timer_.start();
}

void TipsStrip::Timer1Timer()
{
    if (!tips_.fetched()) {
        tips_.markFetched();
        loadCachedTips(); // shown while the download runs, however long it takes
        showNextTip();
        fetch();
        return;
    }
    showNextTip();
}

void TipsStrip::fetch()
{
    if (!network_) network_ = new QNetworkAccessManager(this);
    QNetworkRequest request(settings_.endpoint);
    request.setTransferTimeout(static_cast<int>(settings_.downloadTimeout.count()));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    QNetworkReply* reply = network_->get(request);
    reply->setReadBufferSize(networkReadBuffer);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { readArrived(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { downloadFinished(reply); });
    // The transfer time-out only notices a silent server; this one also ends
    // a server that trickles bytes.
    QTimer::singleShot(settings_.downloadTimeout, reply, [reply] { reply->abort(); });
}

void TipsStrip::readArrived(QNetworkReply* reply)
{
    if (!reply->isOpen() || cutOff_) return;
    const qint64 room = static_cast<qint64>(maxTipFileBytes) + 1 - body_.size();
    body_ += reply->read(std::min(reply->bytesAvailable(), room));
    if (body_.size() > static_cast<qint64>(maxTipFileBytes)) {
        cutOff_ = true;
        reply->abort();
    }
}

void TipsStrip::downloadFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    readArrived(reply);
    const bool succeeded = !cutOff_ && reply->error() == QNetworkReply::NoError &&
                           reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
    const QByteArray body = std::exchange(body_, QByteArray());
    const std::string_view downloaded(body.constData(), static_cast<std::size_t>(body.size()));
    if (downloadReplacesCache(succeeded, downloaded) && !writeCache(body))
        tips_.load(downloaded); // the cache folder is not writable; this run still shows what came
    else
        loadCachedTips();
    showNextTip();
    emit tipsLoaded();
}

void TipsStrip::loadCachedTips()
{
    const std::string shipped = readTipsFile(settings_.shippedPath).value_or(std::string());
    tips_.load(tipSource(readTipsFile(settings_.cachePath), shipped));
}

bool TipsStrip::writeCache(const QByteArray& body)
{
    QDir().mkpath(QFileInfo(settings_.cachePath).absolutePath());
    QSaveFile file(settings_.cachePath);
    return file.open(QIODevice::WriteOnly) && file.write(body) == body.size() && file.commit();
}

void TipsStrip::showNextTip()
{
    const std::optional<Tip> tip = tips_.next(random_);
    if (!tip) return;
    const QString text = shownTipText(tipText(tip->text));
    label_->setText(text + QStringLiteral(" >>"));
    label_->setToolTip(text);
    label_->setAccessibleDescription(text);
    label_->setCursor(tips_.link().empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void TipsStrip::lblTipsClick()
{
    const QUrl url = webAddress(tips_.link());
    if (!url.isEmpty()) opener_->open(url);
}

} // namespace qv::app
