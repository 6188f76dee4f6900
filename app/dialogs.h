#pragma once
// The modal dialogs the window opens: message boxes, the folder picker and
// the file dialogs. The window reaches them only through this interface, so
// tests answer them without a person.

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace qv::app {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message with one OK button, titled with the window caption. `icon`
    // is Critical (stop) for errors and Information for reports.
    virtual void message(QMessageBox::Icon icon, const QString& text) = 0;
    // The same with `details` behind the box's details button.
    virtual void messageWithDetails(QMessageBox::Icon icon, const QString& text, const QString& details) = 0;
    // An error message with a title of its own instead of the window caption.
    virtual void titledError(const QString& title, const QString& text) = 0;
    // A Yes/No question; true for Yes. `defaultButton` (Yes or No) is the
    // answer Enter gives.
    virtual bool question(const QString& text, QMessageBox::StandardButton defaultButton) = 0;
    // The folder picker, opened at `startFolder` (the working directory when
    // it is empty); nothing when cancelled.
    virtual std::optional<QString> chooseFolder(const QString& caption, const QString& startFolder) = 0;
    // The add-files dialog; empty when cancelled.
    virtual QStringList chooseFilesToAdd() = 0;
    // The export save dialog; nothing when cancelled.
    virtual std::optional<QString> chooseExportPath() = 0;
    // Lists runs of the undo journal, one a row of cells under `headers`, and
    // returns the row chosen to be taken back; nothing when closed.
    virtual std::optional<int> chooseRun(const QStringList& headers, const QList<QStringList>& rows) = 0;
};

// The real dialogs, owned by `parent`'s window.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) { }

    void message(QMessageBox::Icon icon, const QString& text) override;
    void messageWithDetails(QMessageBox::Icon icon, const QString& text, const QString& details) override;
    void titledError(const QString& title, const QString& text) override;
    bool question(const QString& text, QMessageBox::StandardButton defaultButton) override;
    std::optional<QString> chooseFolder(const QString& caption, const QString& startFolder) override;
    QStringList chooseFilesToAdd() override;
    std::optional<QString> chooseExportPath() override;
    std::optional<int> chooseRun(const QStringList& headers, const QList<QStringList>& rows) override;

private:
    QWidget* parent_;
};

// The window caption, also every message box's title.
QString windowCaption();

} // namespace qv::app
