#include "app/help_links.h"

#include "app/dialogs.h"
#include "app/gbk_text.h"
#include "app/left_click.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QVBoxLayout>

namespace qv::app {
namespace {

// The shipped usage file is UTF-8; one a user keeps in the working folder
// may be in the program's code page.
QString usageText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromGbk(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
                           : text;
}

} // namespace

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

QString aboutText(const QString& usagePath)
{
    const QString usage = QFileInfo(usagePath).isFile() ? QStringLiteral("使用说明：%1").arg(usagePath)
                                                        : QStringLiteral("使用说明：未找到（%1）").arg(usagePath);
    return QStringLiteral("%1\n版本：V3.1.730（软件包 %2）\n许可证：Apache License 2.0\n%3")
        .arg(windowCaption(), QString::fromLatin1(QV_VERSION), usage);
}

HelpLinks::HelpLinks(QAbstractButton* help, QLabel* maker, QObject* parent) : QObject(parent), maker_(maker)
{
    connect(help, &QAbstractButton::clicked, this, &HelpLinks::SpeedButton1Click);
    onLeftClick(maker_, this, [this] { Label11Click(); });
    maker_->setToolTip(homePage().isEmpty() ? QStringLiteral("关于") : homePage().toString());
}

void HelpLinks::SpeedButton1Click()
{
    const QString path = usageFilePath(QDir::currentPath(), installedDataFile(usageFileName));
    if (!opener_->open(QUrl::fromLocalFile(path))) showUsageWindow(path);
}

void HelpLinks::Label11Click()
{
    if (homePage().isEmpty())
        showAboutBox();
    else
        opener_->open(homePage());
}

void HelpLinks::showUsageWindow(const QString& path)
{
    QWidget* window = maker_->window();
    if (auto* shown = window->findChild<QDialog*>(QStringLiteral("usageWindow"))) {
        shown->raise();
        shown->activateWindow();
        return;
    }
    auto* dialog = new QDialog(window);
    dialog->setObjectName(QStringLiteral("usageWindow"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("%1 - %2").arg(usageFileName, windowCaption()));
    auto* text = new QPlainTextEdit(dialog);
    text->setObjectName(QStringLiteral("usageText"));
    text->setReadOnly(true);
    text->setAccessibleName(usageFileName);
    QFile file(path);
    text->setPlainText(file.open(QIODevice::ReadOnly) ? usageText(file.readAll())
                                                      : QStringLiteral("找不到使用说明文件：%1").arg(path));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog->resize(720, 520);
    dialog->show();
}

void HelpLinks::showAboutBox()
{
    QWidget* window = maker_->window();
    if (auto* shown = window->findChild<QMessageBox*>(QStringLiteral("aboutBox"))) {
        shown->raise();
        shown->activateWindow();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("关于 %1").arg(windowCaption()),
                                aboutText(usageFilePath(QDir::currentPath(), installedDataFile(usageFileName))),
                                QMessageBox::Ok, window);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace qv::app
