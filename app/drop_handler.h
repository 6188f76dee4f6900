#pragma once
// Lets files and folders be dropped on a widget (the grid): a drag that
// carries at least one local file is accepted as a copy, and the drop hands
// its local paths, in the order dragged, to a callback. Other URLs in a
// drag are left out.

#include <QObject>
#include <QStringList>

#include <functional>

class QWidget;

namespace qv::app {

class DropHandler final : public QObject {
    Q_OBJECT
public:
    // Child of `target`, which it makes accept drops.
    DropHandler(QWidget* target, std::function<void(const QStringList&)> dropped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QStringList&)> dropped_;
};

} // namespace qv::app
