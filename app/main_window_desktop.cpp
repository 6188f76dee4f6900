// The window's side of the desktop: paths opened from outside and the
// boxes' histories.

#include "app/history.h"
#include "app/main_window.h"
#include "app/opened_paths.h"
#include "app/pages/operation_pages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

namespace qv::app {
namespace {

// The boxes that take a template or a function call; each keeps a history
// of what its runs used.
constexpr const char* templateBoxes[] = {
    "edtNewExt",        "edtNewFilename", "edtCutFormat", "edtInsFormat",
    "edtNewLineFormat", "edtRepCont",     "edtCharset",   "edtFileFormat",
};

} // namespace

void MainWindow::openPaths(const QStringList& paths)
{
    const OpenedPaths opened = sortOpenedPaths(paths, fs_);
    if (!opened.folders.isEmpty()) edFolder_->setText(opened.folders.join(QLatin1Char(';')));
    addFiles(opened.files);
    if (!opened.unusableFolders.isEmpty())
        dialogs_->message(QMessageBox::Critical, unusableFoldersMessage(opened.unusableFolders));
}

void MainWindow::attachHistories()
{
    history_ = new BoxHistory(this);
    history_->attach(edFolder_, edFolder_->objectName());
    history_->attach(cmbFileType_->lineEdit(), cmbFileType_->objectName());
    for (const char* name : templateBoxes)
        if (auto* box = pgcOne_->findChild<QLineEdit*>(QString::fromLatin1(name)))
            history_->attach(box, box->objectName());
    history_->restoreLayout(this, splitter_);
}

void MainWindow::rememberTemplateBoxes(const QPushButton* start)
{
    for (int page = 0; page < pgcOne_->count(); ++page) {
        QWidget* widget = pgcOne_->widget(page);
        if (!widget->isAncestorOf(start)) continue;
        for (const char* name : templateBoxes)
            if (auto* box = widget->findChild<QLineEdit*>(QString::fromLatin1(name))) history_->remember(box);
    }
}

void MainWindow::putStartButtonsLastInTabOrder()
{
    for (int index = 0; index < pgcOne_->count(); ++index) {
        QWidget* page = pgcOne_->widget(index);
        auto* start = page->findChild<QPushButton*>(operationPages()[static_cast<std::size_t>(index)].buttonName);
        if (!start) continue;
        QWidget* lastOther = nullptr;
        for (QWidget* w = page->nextInFocusChain(); w != page && page->isAncestorOf(w); w = w->nextInFocusChain())
            if (w != start && (w->focusPolicy() & Qt::TabFocus)) lastOther = w;
        if (lastOther) QWidget::setTabOrder(lastOther, start);
    }
}

} // namespace qv::app
