#pragma once
// The building blocks every operation page (and the window's own panels)
// uses: named controls, captions that announce their box, notes, memos, the
// page frame with its start button, and the reading of control texts as
// code page 936 bytes.

#include "app/pages/operation_pages.h"
#include "app/pages/run_operation.h"

#include <QString>

#include <string>

class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace qv::app {

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// An edit box with its default text; `hint` becomes the tooltip.
QLineEdit* editBox(const char* name, const QString& text = {}, const QString& hint = {});
// An edit box that only shows a result.
QLineEdit* resultBox(const char* name, const QString& text);
QPlainTextEdit* memoBox(const char* name);
QCheckBox* checkBox(const char* name, const QString& text, bool checked);
QRadioButton* radioButton(const char* name, const QString& text, bool checked, const QString& hint = {});
// The box beside a radio button, named after the button for screen readers.
QLineEdit* boxBeside(QRadioButton* button, QLineEdit* box);

// How a page names one of its radio buttons: its object name, its caption
// and, when it has one, the object name of the box beside it.
struct ChoiceName {
    const char* button;
    QString caption;
    const char* box = nullptr;
};
// A radio button and the box beside it (null when it has none).
struct Choice {
    QRadioButton* button = nullptr;
    QLineEdit* box = nullptr;
};
// The radio button `name` gives, and its box holding `boxText`.
Choice radioChoice(const ChoiceName& name, bool checked, const QString& hint = {}, const QString& boxText = {});

// A caption label announcing `buddy` to screen readers.
QLabel* captionFor(const QString& text, QWidget* buddy);
// Puts `box` in `grid` at `row` from `column` + 1 over `columnSpan`
// columns, its caption before it at `column`.
void addCaptioned(QGridLayout* grid, const QString& caption, QWidget* box, int row, int column, int columnSpan = 1);
// A note shown on the page; `name` may be null.
QLabel* noteLabel(const QString& text, const char* name = nullptr);
// The warning every changing page shows, in purple on the file name pages.
QLabel* testFirstNote(bool purple = false);
// The content pages' variant of that warning ("设置" instead of "格式").
QLabel* testSettingsFirstNote();

// A page being built: its controls go into `body`; the start button stands
// at the bottom right, beside an optional note.
struct PageFrame {
    QWidget* page = nullptr;
    QGridLayout* body = nullptr;
    QPushButton* start = nullptr;
    QHBoxLayout* buttons = nullptr; // the row the start button ends
};
PageFrame beginPage(const OperationPage& info, QLabel* bottomNote = nullptr);

// Makes the page's start button run `click` (a core btn...Click call) with
// the parameters `readParams` reads from the page's controls at that moment.
template <typename ReadParams, typename Click>
void bindClick(const PageFrame& frame, PageRunner& runner, ReadParams readParams, Click click)
{
    bindStart(frame.page, frame.start, runner, [readParams, click](Workspace& ws, Host& host, FileSystem& fs) {
        return resultOf([&] { return click(readParams(), ws, host, fs); });
    });
}

// The code page 936 bytes of a box's text ("?" for characters it lacks).
std::string gbkText(const QLineEdit* box);
// A memo's text with its lines joined by CR LF, as code page 936 bytes.
std::string memoText(const QPlainTextEdit* memo);

} // namespace qv::app
