#include "app/tips_strip.h"

#include "app/gbk_text.h"
#include "app/help_links.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <optional>

namespace qv::app {
namespace {

constexpr std::chrono::milliseconds tickInterval{15000};

std::optional<std::string> readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll().toStdString();
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

TipsStrip::TipsStrip(QLabel* label, TipRotation& tips, RandomIndex& random, TipsSettings settings, QObject* parent)
    : QObject(parent), label_(label), tips_(tips), random_(random), settings_(std::move(settings))
{
    setObjectName(QStringLiteral("Timer1"));
    timer_.setInterval(tickInterval);
    connect(&timer_, &QTimer::timeout, this, &TipsStrip::Timer1Timer);
    label_->installEventFilter(this);
}

void TipsStrip::start()
{
    timer_.start();
}

void TipsStrip::Timer1Timer()
{
    if (!tips_.fetched()) {
        tips_.markFetched();
        fetch(); // the first tip shows when the download has ended
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
    connect(reply, &QNetworkReply::finished, this, [this, reply] { downloadFinished(reply); });
}

void TipsStrip::downloadFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    const bool succeeded = reply->error() == QNetworkReply::NoError &&
                           reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
    const QByteArray body = reply->readAll();
    const std::string_view downloaded(body.constData(), static_cast<std::size_t>(body.size()));
    if (downloadReplacesCache(succeeded, downloaded) && !writeCache(body)) {
        tips_.load(downloaded); // the cache folder is not writable; this run still shows what came
    } else {
        const std::string shipped = readWholeFile(settings_.shippedPath).value_or(std::string());
        tips_.load(tipSource(readWholeFile(settings_.cachePath), shipped));
    }
    showNextTip();
    emit tipsLoaded();
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
    const QString text = tipText(tip->text);
    label_->setText(text + QStringLiteral(" >>"));
    label_->setToolTip(text);
    label_->setAccessibleDescription(text);
}

void TipsStrip::lblTipsClick()
{
    if (tips_.link().empty()) return;
    opener_->open(QUrl::fromUserInput(tipText(tips_.link()), QDir::currentPath()));
}

bool TipsStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == label_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        lblTipsClick();
    return QObject::eventFilter(watched, event);
}

} // namespace qv::app
