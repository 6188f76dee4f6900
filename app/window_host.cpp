#include "app/window_host.h"

#include "app/dialogs.h"
#include "app/gbk_text.h"

#include <QCoreApplication>
#include <QStatusBar>

namespace qv::app {
namespace {

constexpr qint64 eventIntervalMs = 50;

} // namespace

WindowHost::WindowHost(Dialogs& dialogs, QStatusBar* statusBar, std::function<void()> beforeEvents)
    : dialogs_(dialogs), statusBar_(statusBar), beforeEvents_(std::move(beforeEvents))
{
}

void WindowHost::showMessage(MessageKind kind, std::string_view text)
{
    if (beforeEvents_) beforeEvents_();
    dialogs_.message(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information, fromGbk(text));
}

bool WindowHost::ask(std::string_view question)
{
    if (beforeEvents_) beforeEvents_();
    return dialogs_.question(fromGbk(question));
}

std::optional<std::string> WindowHost::chooseSavePath(std::string_view)
{
    if (beforeEvents_) beforeEvents_();
    const std::optional<QString> path = dialogs_.chooseExportPath();
    if (!path) return std::nullopt;
    // The export writes through the code page 936 path; a path that would
    // name another file there is not used.
    const std::optional<std::string> bytes = toGbkExactly(*path);
    if (!bytes) dialogs_.message(QMessageBox::Critical, QStringLiteral("Cannot create file ") + *path);
    return bytes;
}

void WindowHost::processEvents()
{
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < eventIntervalMs) return;
    if (beforeEvents_) beforeEvents_();
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

void WindowHost::reportProgress(std::int64_t done, std::int64_t total)
{
    if (!statusBar_) return;
    if (total == 0) {
        ++foldersVisited_;
        statusBar_->showMessage(QStringLiteral("已搜索 %1 个目录，找到 %2 个文件").arg(foldersVisited_).arg(done));
    } else {
        statusBar_->showMessage(QStringLiteral("已处理 %1 / %2").arg(done).arg(total));
    }
}

void WindowHost::startRun()
{
    sinceEvents_.invalidate();
    foldersVisited_ = 0;
}

} // namespace qv::app
