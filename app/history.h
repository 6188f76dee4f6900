#pragma once
// What the window remembers between starts: the last values the search
// folder box, the type-mask box and the template boxes were used with, and
// the window's size, position and splitter. Every start still shows each
// box's default text; a box's history is offered by a completer and by a
// drop-down button at the box's end (also Alt+Down). Stored with QSettings
// in the user's configuration folder (qorvane/qorvane.conf); a file that
// cannot be read is dropped and written anew, never an error.

#include "window/recent_values.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class QLineEdit;
class QMainWindow;
class QSettings;
class QSplitter;
class QStringListModel;

namespace qv::app {

class BoxHistory final : public QObject {
    Q_OBJECT
public:
    explicit BoxHistory(QObject* parent = nullptr);
    ~BoxHistory() override;

    // Offers the history stored under `name` (the box's objectName; the
    // combo's name for a combo box's edit line) while typing and from the
    // drop-down button.
    void attach(QLineEdit* box, const QString& name);
    // Puts `box`'s current text first in its history and stores it at once.
    // Call it after a run that the program did not refuse.
    void remember(const QLineEdit* box);
    // The history of the box named `boxName`, newest first.
    QStringList values(const QString& boxName) const;

    void restoreLayout(QMainWindow* window, QSplitter* splitter);
    void saveLayout(const QMainWindow* window, const QSplitter* splitter);

    // Pops up the whole history of `box` under it.
    void showHistory(QLineEdit* box);

private:
    struct Box {
        RecentValues values;
        QStringListModel* model = nullptr;
    };
    Box& boxFor(const QString& name);

    std::unique_ptr<QSettings> settings_;
    std::map<QString, Box> boxes_;
};

} // namespace qv::app
