#include "app/window_host.h"

#include "app/dialogs.h"
#include "app/gbk_text.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStringList>

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
    progress_->setTextVisible(false); // the text stands beside the bar, where the bar cannot cover it
    progress_->hide();
    progressText_ = new QLabel(statusBar_);
    progressText_->setObjectName(QStringLiteral("lblRunProgress"));
    progressText_->hide();
    stop_ = new QPushButton(QStringLiteral("停止"), statusBar_);
    stop_->setObjectName(QStringLiteral("btnStopRun"));
    stop_->setToolTip(QStringLiteral("停止处理：已完成的文件保留，未完成的文件不生成输出"));
    stop_->hide();
    statusBar_->addPermanentWidget(progressText_);
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
    return dialogs_.question(fromGbk(question), QMessageBox::Yes);
}

bool WindowHost::askDefaultNo(std::string_view question)
{
    if (beforeEvents_) beforeEvents_();
    return dialogs_.question(fromGbk(question), QMessageBox::No);
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
        showRunControls();
        done_ = std::min(done, total);
        total_ = total;
        // The bar counts in int; totals beyond its range are shown scaled.
        const std::int64_t scale = total / std::numeric_limits<int>::max() + 1;
        progress_->setMaximum(static_cast<int>(total / scale));
        progress_->setValue(static_cast<int>(done_ / scale));
        showFilePercent(-1);
    }
}

void WindowHost::reportFileProgress(std::uint64_t done, std::uint64_t total)
{
    if (!progress_ || total == 0) return;
    showRunControls();
    const int percent = static_cast<int>(std::min<std::uint64_t>(done, total) * 100 / total);
    if (percent != filePercent_) showFilePercent(percent); // the text changes a hundred times per file at most
}

void WindowHost::showFilePercent(int percent)
{
    filePercent_ = percent;
    const QString share = percent < 0 ? QString() : QStringLiteral("%1%").arg(percent);
    // Before the first file is done the total is not known yet.
    if (total_ == 0)
        progressText_->setText(share);
    else
        progressText_->setText(QStringLiteral("%1 / %2").arg(done_).arg(total_) +
                               (share.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(share)));
}

void WindowHost::showRunControls()
{
    if (operationDepth_ == 0 || !progress_->isHidden()) return;
    progressText_->show();
    progress_->show();
    stop_->show();
}

void WindowHost::noteMissingFolders(const std::vector<std::string>& folders)
{
    if (!statusBar_ || folders.empty()) return;
    QStringList names;
    for (const std::string& folder : folders) names << fromGbk(folder);
    const QString searched = statusBar_->currentMessage();
    const QString missing = QStringLiteral("目录不存在：%1").arg(names.join(QStringLiteral("；")));
    statusBar_->showMessage(searched.isEmpty() ? missing : searched + QStringLiteral("；") + missing);
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
    // The controls appear with the first progress report, so a run refused
    // by its checks shows none.
    progress_->reset();
    progress_->setRange(0, 1);
    progress_->setValue(0);
    done_ = 0;
    total_ = 0;
    showFilePercent(-1);
}

void WindowHost::endOperation()
{
    if (--operationDepth_ > 0) return;
    stopRequested_ = false; // the request ended this run; none is left pending for the next
    if (!progress_) return;
    progressText_->hide();
    progress_->hide();
    stop_->hide();
}

} // namespace qv::app
