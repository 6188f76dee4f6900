// The window's undo: the journal of runs, taking back the newest or a chosen
// run, and the offer of an interrupted run at start.

#include "app/gbk_text.h"
#include "app/main_window.h"
#include "app/pages/operation_pages.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QShortcut>

namespace qv::app {
namespace {

const QString offeredKey = QStringLiteral("undo/offeredInterruptedRun");

} // namespace

std::string MainWindow::journalNameOf(const QPushButton* start)
{
    for (const OperationPage& page : operationPages())
        if (start && page.buttonName == start->objectName()) return toGbk(page.optionText);
    return toGbk(start ? start->objectName() : QString());
}

std::vector<RunParameter> MainWindow::pageParameters(const QWidget* page)
{
    std::vector<RunParameter> out;
    if (!page) return out;
    for (const QLineEdit* box : page->findChildren<QLineEdit*>())
        if (!box->objectName().isEmpty()) out.push_back({toGbk(box->objectName()), toGbk(box->text())});
    for (const QAbstractButton* button : page->findChildren<QAbstractButton*>())
        if (button->isCheckable() && !button->objectName().isEmpty())
            out.push_back({toGbk(button->objectName()), button->isChecked() ? "1" : "0"});
    return out;
}

void MainWindow::connectUndo(QPushButton* undo, QPushButton* history)
{
    connect(undo, &QPushButton::clicked, this, &MainWindow::undoNewest);
    connect(history, &QPushButton::clicked, this, &MainWindow::undoFromHistory);
    auto* shortcut = new QShortcut(QKeySequence::Undo, this);
    connect(shortcut, &QShortcut::activated, this, &MainWindow::undoNewest);
}

void MainWindow::takeBackAsked(const TakeBack& back, const QString& question)
{
    if (back.refusal) {
        dialogs_->message(QMessageBox::Information, fromGbk(*back.refusal));
        return;
    }
    if (!dialogs_->question(question, QMessageBox::No)) return;
    runGuarded(nullptr, [&] {
        host_->beginOperation();
        qv::takeBack(back, *journal_, fs_, ws_, *host_);
        host_->endOperation();
    });
}

void MainWindow::undoNewest()
{
    if (!journal_) return;
    const RunHistory history = loadHistory(*journal_, *host_);
    const TakeBack back = prepareTakeBack(history, std::nullopt, fs_);
    takeBackAsked(back, back.refusal ? QString() : fromGbk(takeBackQuestion(back.run)));
}

void MainWindow::undoFromHistory()
{
    if (!journal_) return;
    const RunHistory history = loadHistory(*journal_, *host_);
    const QStringList headers{QStringLiteral("时间"), QStringLiteral("操作"), QStringLiteral("文件数"),
                              QStringLiteral("状态")};
    QList<QStringList> rows;
    for (const JournalRun& run : history.runs) {
        const QString state = run.state == RunState::Done          ? QStringLiteral("完成")
                              : run.state == RunState::Interrupted ? QStringLiteral("中断")
                                                                   : QStringLiteral("已撤销");
        rows.push_back({fromGbk(formatRunTime(run.header.started, run.header.utcOffsetSeconds)),
                        fromGbk(run.header.operation), QString::number(run.fileCount), state});
    }
    const std::optional<int> chosen = dialogs_->chooseRun(headers, rows);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(history.runs.size())) return;
    const JournalRun& run = history.runs[static_cast<std::size_t>(*chosen)];
    const TakeBack back = prepareTakeBack(history, run.id, fs_);
    takeBackAsked(back, QStringLiteral("撤销操作：%1（%2），%3 个文件？")
                            .arg(fromGbk(run.header.operation), rows[*chosen][0])
                            .arg(run.fileCount));
}

void MainWindow::offerInterruptedRun()
{
    if (!journal_) return;
    std::string bytes;
    if (!journal_->read(bytes).ok()) return;
    const RunHistory history = readRunHistory(bytes);
    const auto interrupted = std::find_if(history.runs.begin(), history.runs.end(), [](const JournalRun& run) {
        return run.state == RunState::Interrupted && !run.undoes;
    });
    if (interrupted == history.runs.end()) return;
    QSettings settings;
    const QString id = QString::fromStdString(interrupted->id);
    if (settings.value(offeredKey).toString() == id) return;
    settings.setValue(offeredKey, id);
    const TakeBack back = prepareTakeBack(history, interrupted->id, fs_);
    if (back.refusal) return;
    takeBackAsked(back, QStringLiteral("上次的操作“%1”（%2 个文件）没有完成，是否撤销它已做的更改？")
                            .arg(fromGbk(interrupted->header.operation))
                            .arg(interrupted->fileCount));
}

} // namespace qv::app
