#include "app/left_click.h"

#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QWidget>

#include <utility>

namespace qv::app {
namespace {

// Watches one widget's events; a child of the context, so it stops
// watching when the context goes.
class LeftClickWatch final : public QObject {
public:
    LeftClickWatch(QObject* context, std::function<void()> clicked) : QObject(context), clicked_(std::move(clicked)) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            clicked_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> clicked_;
};

} // namespace

void onLeftClick(QWidget* widget, QObject* context, std::function<void()> clicked)
{
    widget->installEventFilter(new LeftClickWatch(context, std::move(clicked)));
}

} // namespace qv::app
