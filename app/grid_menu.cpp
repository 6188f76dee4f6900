#include "app/grid_menu.h"

#include "app/gbk_text.h"
#include "operation/workspace.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTableView>

namespace qv::app {
namespace {

// A folder cell as a folder to open: "" is the root (the add command's
// folder for "/a.txt"), a relative one is taken from the working folder.
QString absoluteFolder(const QString& folder)
{
    if (folder.isEmpty()) return QStringLiteral("/");
    return QDir::current().absoluteFilePath(folder);
}

} // namespace

GridMenu::GridMenu(QTableView* grid, Workspace& ws, std::function<void(const std::function<void()>&)> guarded)
    : QObject(grid), grid_(grid), ws_(ws), guarded_(std::move(guarded)), menu_(new QMenu(grid))
{
    menu_->setObjectName(QStringLiteral("gridMenu"));
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
}

QString GridMenu::fullPath(std::size_t row) const
{
    // The path as the system takes it: the disk bytes, decoded as Qt's file
    // functions decode names.
    return QDir::current().absoluteFilePath(QFile::decodeName(QByteArray::fromStdString(ws_.files.fullPath(row))));
}

QString GridMenu::folderPath(std::size_t row) const
{
    return absoluteFolder(QFile::decodeName(QByteArray::fromStdString(std::string(ws_.files.diskFolder(row)))));
}

void GridMenu::fill(std::size_t row)
{
    menu_->clear();
    const bool entry = !ws_.files.isEmpty() && row >= 1 && row <= ws_.files.entryCount();
    QAction* open = menu_->addAction(QStringLiteral("打开"), this,
                                     [this, row] { opener_->open(QUrl::fromLocalFile(fullPath(row))); });
    QAction* openFolder = menu_->addAction(QStringLiteral("打开所在文件夹"), this,
                                           [this, row] { opener_->open(QUrl::fromLocalFile(folderPath(row))); });
    QAction* copyPath = menu_->addAction(QStringLiteral("复制完整路径"), this, [this, row] {
        QGuiApplication::clipboard()->setText(QDir::current().absoluteFilePath(fromGbk(ws_.files.shownPath(row))));
    });
    menu_->addSeparator();
    menu_->addAction(ws_.files.isMarked(row) ? QStringLiteral("取消标记") : QStringLiteral("标记"), this,
                     [this, row] { toggleMark(row); });
    QAction* remove = menu_->addAction(QStringLiteral("从列表中移除"), this, [this, row] {
        guarded_([this, row] {
            if (ws_.files.isEmpty() || row > ws_.files.entryCount()) return;
            ws_.files.removeRow(row);
            --ws_.counters.stSrcCount;
        });
    });
    for (QAction* action : {open, openFolder, copyPath, remove}) action->setEnabled(entry);
}

void GridMenu::toggleMark(std::size_t row)
{
    guarded_([this, row] { ws_.files.flipMark(row); });
}

void GridMenu::popup(std::size_t row, QPoint globalPos)
{
    fill(row);
    menu_->popup(globalPos);
}

bool GridMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ContextMenu && event->type() != QEvent::KeyPress &&
        event->type() != QEvent::MouseButtonRelease)
        return false; // the grid may be half destroyed: only input events reach it here
    if (watched == grid_->viewport()) {
        // The menu opens on the release, after the window has handled it as
        // every release; one opened on the press would take the release.
        if (event->type() == QEvent::ContextMenu)
            return static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse;
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex cell = grid_->indexAt(mouse->position().toPoint());
            if (mouse->button() == Qt::RightButton && cell.isValid()) {
                const auto row = static_cast<std::size_t>(cell.row()) + 1;
                const QPoint at = mouse->globalPosition().toPoint();
                QMetaObject::invokeMethod(
                    this, [this, row, at] { popup(row, at); }, Qt::QueuedConnection);
            }
        }
        return false;
    }
    const QModelIndex current = grid_->currentIndex();
    const std::size_t currentRow = current.isValid() ? static_cast<std::size_t>(current.row()) + 1 : 0;
    if (event->type() == QEvent::ContextMenu && currentRow > 0) {
        popup(currentRow, grid_->viewport()->mapToGlobal(grid_->visualRect(current).center()));
        return true;
    }
    if (event->type() == QEvent::KeyPress && currentRow > 0) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            toggleMark(currentRow);
            return true;
        }
    }
    return false;
}

} // namespace qv::app
