#include "app/window_host.h"

#include "app/dialogs.h"
#include "app/gbk_text.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>
#include <limits>

namespace qv::app {
namespace {

constexpr qint64 eventIntervalMs = 50;

} // namespace

WindowHost::WindowHost(Dialogs& dialogs, QStatusBar* statusBar, std::function<void()> beforeEvents)
    : dialogs_(dialogs), statusBar_(statusBar), beforeEvents_(std::move(beforeEvents))
{
    if (!statusBar_) return;
    progress_ = new QProgressBar(statusBar_);
    progress_->setObjectName(QStringLiteral("prgRun"));
    progress_->setAccessibleName(QStringLiteral("处理进度"));
    progress_->setFixedWidth(200);
    progress_->hide();
    stop_ = new QPushButton(QStringLiteral("停止"), statusBar_);
    stop_->setObjectName(QStringLiteral("btnStopRun"));
    stop_->setToolTip(QStringLiteral("停止处理：已完成的文件保留，未完成的文件不生成输出"));
    stop_->hide();
    statusBar_->addPermanentWidget(progress_);
    statusBar_->addPermanentWidget(stop_);
    QObject::connect(stop_, &QPushButton::clicked, stop_, [this] { requestStop(); });
}

void WindowHost::showMessage(MessageKind kind, std::string_view text)
{
    if (beforeEvents_) beforeEvents_();
    dialogs_.message(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information, fromGbk(text));
}

void WindowHost::showMessageWithDetails(MessageKind kind, std::string_view text, std::string_view details)
{
    if (beforeEvents_) beforeEvents_();
    dialogs_.messageWithDetails(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information,
                                fromGbk(text), fromGbk(details));
}

void WindowHost::showTitledError(std::string_view title, std::string_view text)
{
    if (beforeEvents_) beforeEvents_();
    dialogs_.titledError(fromGbk(title), fromGbk(text));
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
    } else if (progress_) {
        // The bar counts in int; totals beyond its range are shown scaled.
        const std::int64_t scale = total / std::numeric_limits<int>::max() + 1;
        progress_->setMaximum(static_cast<int>(total / scale));
        progress_->setValue(static_cast<int>(std::min(done, total) / scale));
        showFilePercent(-1);
    }
}

void WindowHost::reportFileProgress(std::uint64_t done, std::uint64_t total)
{
    if (!progress_ || total == 0) return;
    showFilePercent(static_cast<int>(std::min<std::uint64_t>(done, total) * 100 / total));
}

void WindowHost::showFilePercent(int percent)
{
    if (percent == filePercent_) return; // the text changes a hundred times per file at most
    filePercent_ = percent;
    progress_->setFormat(percent < 0 ? QStringLiteral("%v / %m") : QStringLiteral("%v / %m (%1%)").arg(percent));
}

void WindowHost::startRun()
{
    sinceEvents_.invalidate();
    foldersVisited_ = 0;
    // A stop meant for an earlier run must not end this one before it starts;
    // inside an operation the request belongs to that operation.
    if (operationDepth_ == 0) stopRequested_ = false;
}

void WindowHost::beginOperation()
{
    startRun();
    if (operationDepth_++ > 0) return;
    if (!progress_) return;
    progress_->reset();
    progress_->setRange(0, 1);
    progress_->setValue(0);
    filePercent_ = -2; // sure to differ: the format is set afresh
    showFilePercent(-1);
    progress_->show();
    stop_->show();
}

void WindowHost::endOperation()
{
    if (--operationDepth_ > 0) return;
    stopRequested_ = false; // the request ended this run; none is left pending for the next
    if (!progress_) return;
    progress_->hide();
    stop_->hide();
}

} // namespace qv::app
