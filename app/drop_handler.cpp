#include "app/drop_handler.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace qv::app {
namespace {

QStringList localPaths(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

} // namespace

DropHandler::DropHandler(QWidget* target, std::function<void(const QStringList&)> dropped)
    : QObject(target), dropped_(std::move(dropped))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool DropHandler::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (localPaths(drag->mimeData()).isEmpty()) {
            drag->ignore();
        } else {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = localPaths(drop->mimeData());
        if (paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        dropped_(paths);
        return true;
    }
    default: return false;
    }
}

} // namespace qv::app
