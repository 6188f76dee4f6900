#include "app/help_links.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>

namespace qv::app {

QString installedDataFile(const QString& name)
{
    const QString candidates[] = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/qorvane/") + name,
        QStringLiteral(QV_BUILD_DATA_DIR "/") + name,
    };
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile()) return QFileInfo(path).absoluteFilePath();
    return {};
}

QString usageFilePath(const QString& workingDir, const QString& installedCopy)
{
    QString local = QDir(workingDir).filePath(usageFileName); // not const: moved out on return
    if (QFileInfo(local).isFile()) return local;
    if (!installedCopy.isEmpty() && QFileInfo(installedCopy).isFile()) return installedCopy;
    return local;
}

QUrl homePage()
{
    return QUrl(QStringLiteral(QV_HOME_PAGE));
}

HelpLinks::HelpLinks(QAbstractButton* help, QLabel* maker, QObject* parent) : QObject(parent), maker_(maker)
{
    connect(help, &QAbstractButton::clicked, this, &HelpLinks::SpeedButton1Click);
    maker_->installEventFilter(this);
    maker_->setToolTip(homePage().toString());
}

void HelpLinks::SpeedButton1Click()
{
    opener_->open(QUrl::fromLocalFile(usageFilePath(QDir::currentPath(), installedDataFile(usageFileName))));
}

void HelpLinks::Label11Click()
{
    opener_->open(homePage());
}

bool HelpLinks::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == maker_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        Label11Click();
    return QObject::eventFilter(watched, event);
}

} // namespace qv::app
