#pragma once
// The grid's context menu and keys. A right-button release over a data row
// first does what every release does (the window's mouse-release handler:
// sort direction, mark of the current name cell) and then opens the menu
// for that row; the menu key opens it for the current row. Space flips the
// current row's mark. Actions:
//   "打开"            the file, with the desktop's default program
//   "打开所在文件夹"  the folder holding it
//   "复制完整路径"    its full path to the clipboard
//   "标记"/"取消标记" sets or clears the row's mark
//   "从列表中移除"    removes the row from the list, as the remove command
//                     does for a marked row (the file stays on disk)

#include "app/url_opener.h"

#include <QObject>
#include <QPoint>

#include <cstddef>
#include <functional>

class QMenu;
class QTableView;

namespace qv {
struct Workspace;
}

namespace qv::app {

class GridMenu final : public QObject {
    Q_OBJECT
public:
    // Each change of the list runs inside `guarded` (the window's frame that
    // reports errors and refreshes the counters). The menu is a child of
    // `grid`.
    GridMenu(QTableView* grid, Workspace& ws, std::function<void(const std::function<void()>&)> guarded);

    // Not owned; must outlive this object. The desktop's opener until set.
    void setUrlOpener(UrlOpener* opener) { opener_ = opener; }

    // Fills the menu for grid row `row` (1-based) and shows it at `globalPos`.
    void popup(std::size_t row, QPoint globalPos);
    // The menu of the last popup (named "gridMenu"), for tests and screen readers.
    QMenu* menu() const { return menu_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill(std::size_t row);
    void toggleMark(std::size_t row);
    QString fullPath(std::size_t row) const;
    QString folderPath(std::size_t row) const;

    QTableView* grid_;
    Workspace& ws_;
    std::function<void(const std::function<void()>&)> guarded_;
    QMenu* menu_;
    DesktopUrlOpener desktop_;
    UrlOpener* opener_ = &desktop_;
};

} // namespace qv::app
