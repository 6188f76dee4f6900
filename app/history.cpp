#include "app/history.h"

#include <QAction>
#include <QCompleter>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QSettings>
#include <QSplitter>
#include <QStringListModel>
#include <QStyle>

namespace qv::app {
namespace {

const char* const nameProperty = "qvHistoryName";

QString historyKey(const QString& boxName)
{
    return QStringLiteral("history/") + boxName;
}

std::vector<std::string> utf8Values(const QStringList& list)
{
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(list.size()));
    for (const QString& value : list) out.push_back(value.toStdString());
    return out;
}

QStringList qtValues(const RecentValues& history)
{
    QStringList out;
    for (const std::string& value : history.values()) out << QString::fromStdString(value);
    return out;
}

// Alt+Down in a box with a history opens it, as in a combo box.
class HistoryKey final : public QObject {
public:
    HistoryKey(BoxHistory* history, QLineEdit* box) : QObject(box), history_(history), box_(box) { }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Down || key->modifiers() != Qt::AltModifier) return false;
        history_->showHistory(box_);
        return true;
    }

private:
    BoxHistory* history_;
    QLineEdit* box_;
};

} // namespace

BoxHistory::BoxHistory(QObject* parent)
    : QObject(parent), settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                             QStringLiteral("qorvane"), QStringLiteral("qorvane")))
{
    // A damaged file is forgotten; the next change writes a clean one.
    if (settings_->status() != QSettings::NoError) settings_->clear();
}

BoxHistory::~BoxHistory() = default;

BoxHistory::Box& BoxHistory::boxFor(const QString& name)
{
    auto found = boxes_.find(name);
    if (found != boxes_.end()) return found->second;
    Box box{RecentValues::fromStored(utf8Values(settings_->value(historyKey(name)).toStringList())), nullptr};
    box.model = new QStringListModel(qtValues(box.values), this);
    return boxes_.emplace(name, std::move(box)).first->second;
}

void BoxHistory::attach(QLineEdit* box, const QString& name)
{
    box->setProperty(nameProperty, name);
    Box& history = boxFor(name);
    auto* completer = new QCompleter(history.model, box);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    box->setCompleter(completer);
    QAction* dropDown = box->addAction(box->style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    dropDown->setObjectName(name + QStringLiteral("History"));
    dropDown->setToolTip(QStringLiteral("最近使用过的内容 (Alt+↓)"));
    connect(dropDown, &QAction::triggered, box, [this, box] { showHistory(box); });
    box->installEventFilter(new HistoryKey(this, box));
}

void BoxHistory::showHistory(QLineEdit* box)
{
    QCompleter* completer = box->completer();
    if (!completer) return;
    box->setFocus(Qt::OtherFocusReason);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setCompletionPrefix(QString());
    completer->complete();
    completer->setCompletionMode(QCompleter::PopupCompletion);
}

void BoxHistory::remember(const QLineEdit* box)
{
    const QString name = box->property(nameProperty).toString();
    if (name.isEmpty()) return;
    Box& history = boxFor(name);
    if (!history.values.remember(box->text().toStdString())) return;
    const QStringList values = qtValues(history.values);
    history.model->setStringList(values);
    settings_->setValue(historyKey(name), values);
    settings_->sync();
}

QStringList BoxHistory::values(const QString& boxName) const
{
    const auto found = boxes_.find(boxName);
    if (found != boxes_.end()) return qtValues(found->second.values);
    return qtValues(RecentValues::fromStored(utf8Values(settings_->value(historyKey(boxName)).toStringList())));
}

void BoxHistory::restoreLayout(QMainWindow* window, QSplitter* splitter)
{
    // restoreGeometry and restoreState refuse bytes they cannot read and
    // leave the defaults alone.
    window->restoreGeometry(settings_->value(QStringLiteral("window/geometry")).toByteArray());
    splitter->restoreState(settings_->value(QStringLiteral("window/splitter")).toByteArray());
}

void BoxHistory::saveLayout(const QMainWindow* window, const QSplitter* splitter)
{
    settings_->setValue(QStringLiteral("window/geometry"), window->saveGeometry());
    settings_->setValue(QStringLiteral("window/splitter"), splitter->saveState());
    settings_->sync();
}

} // namespace qv::app
