#include "app/pages/page_kit.h"

#include "app/gbk_text.h"
#include "text/line_list.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>

namespace qv::app {

QLineEdit* editBox(const char* name, const QString& text, const QString& hint)
{
    auto* box = named(new QLineEdit(text), name);
    if (!hint.isEmpty()) box->setToolTip(hint);
    return box;
}

QLineEdit* resultBox(const char* name, const QString& text)
{
    QLineEdit* box = editBox(name, text);
    box->setReadOnly(true);
    return box;
}

QPlainTextEdit* memoBox(const char* name)
{
    auto* memo = named(new QPlainTextEdit, name);
    memo->setTabChangesFocus(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    return memo;
}

QCheckBox* checkBox(const char* name, const QString& text, bool checked)
{
    auto* box = named(new QCheckBox(text), name);
    box->setChecked(checked);
    return box;
}

QRadioButton* radioButton(const char* name, const QString& text, bool checked, const QString& hint)
{
    auto* button = named(new QRadioButton(text), name);
    button->setChecked(checked);
    if (!hint.isEmpty()) button->setToolTip(hint);
    return button;
}

QLineEdit* boxBeside(QRadioButton* button, QLineEdit* box)
{
    box->setAccessibleName(button->text());
    return box;
}

Choice radioChoice(const ChoiceName& name, bool checked, const QString& hint, const QString& boxText)
{
    Choice choice;
    choice.button = radioButton(name.button, name.caption, checked, hint);
    if (name.box) choice.box = boxBeside(choice.button, editBox(name.box, boxText));
    return choice;
}

QLabel* captionFor(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

void addCaptioned(QGridLayout* grid, const QString& caption, QWidget* box, int row, int column, int columnSpan)
{
    grid->addWidget(captionFor(caption, box), row, column);
    grid->addWidget(box, row, column + 1, 1, columnSpan);
}

QLabel* noteLabel(const QString& text, const char* name)
{
    auto* label = new QLabel(text);
    if (name) label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLabel* testFirstNote(bool purple)
{
    QLabel* note = noteLabel(QStringLiteral("注意：批量处理前，请最好先测试几个文件，确保格式的准确无误。"));
    if (purple) note->setStyleSheet(QStringLiteral("color: purple;"));
    return note;
}

QLabel* testSettingsFirstNote()
{
    return noteLabel(QStringLiteral("注意：批量处理前，请最好先测试几个文件，确保设置的准确无误。"));
}

PageFrame beginPage(const OperationPage& info, QLabel* bottomNote)
{
    PageFrame frame;
    frame.page = new QWidget;
    frame.page->setObjectName(info.pageName);
    auto* layout = new QVBoxLayout(frame.page);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    frame.body = new QGridLayout;
    frame.body->setHorizontalSpacing(6);
    frame.body->setVerticalSpacing(4);
    layout->addLayout(frame.body);
    layout->addStretch(1);

    auto* bottom = new QHBoxLayout;
    if (bottomNote) {
        bottomNote->setWordWrap(true);
        bottom->addWidget(bottomNote, 1);
    } else {
        bottom->addStretch(1);
    }
    frame.start = new QPushButton(info.buttonCaption);
    frame.start->setObjectName(info.buttonName);
    bottom->addWidget(frame.start, 0, Qt::AlignRight | Qt::AlignBottom);
    frame.buttons = bottom;
    layout->addLayout(bottom);
    return frame;
}

std::string gbkText(const QLineEdit* box)
{
    return toGbk(box->text());
}

std::string memoText(const QPlainTextEdit* memo)
{
    return text::withCrLfBreaks(toGbk(memo->toPlainText()));
}

} // namespace qv::app
