// The twin pages that choose lines by number, interval or keyword: delete
// lines and extract lines.

#include "app/pages/page_builders.h"
#include "app/pages/page_kit.h"
#include "app/preview_window.h"
#include "content/line_delete_extract.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace qv::app {
namespace {

const QString rangeNote = QStringLiteral("可逗号或横杠设定多个行或行范围，如：3,5-8");
const QString keywordNote = QStringLiteral("可分号隔开多个关键字。");

// "每 [N] 行删除第 [M] 行记录": the interval boxes between their labels.
QHBoxLayout* intervalRow(QLineEdit* every, const QString& middle, QLineEdit* position)
{
    every->setMaximumWidth(60);
    position->setMaximumWidth(60);
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(captionFor(QStringLiteral("每"), every));
    row->addWidget(every);
    row->addWidget(captionFor(middle, position));
    row->addWidget(position);
    row->addWidget(new QLabel(QStringLiteral("行记录")));
    row->addStretch(1);
    return row;
}

// How one of the pages names the interval's radio button and its two
// boxes.
struct IntervalChoiceName {
    const char* button;
    QString caption;
    const char* every;
    QString middle; // between the two boxes
    const char* position;
};
struct LineChoiceNames {
    ChoiceName byNumbers;
    IntervalChoiceName byInterval;
    ChoiceName byKeywords;
};

// The controls both pages choose lines with: by line numbers (checked), by
// an interval (every N lines, the Mth), or by keywords.
struct LineChoice {
    Choice byNumbers;
    QRadioButton* byInterval = nullptr;
    QLineEdit* every = nullptr;
    QLineEdit* position = nullptr;
    Choice byKeywords;
};

// Puts the line choice in rows 0 to 2 of the page, each way's note beside
// its box; row 3 is left to the page.
LineChoice addLineChoice(const PageFrame& frame, const LineChoiceNames& names)
{
    LineChoice choice;
    choice.byNumbers = radioChoice(names.byNumbers, true, {}, QStringLiteral("1"));
    choice.byInterval = radioButton(names.byInterval.button, names.byInterval.caption, false);
    choice.every = editBox(names.byInterval.every, QStringLiteral("2"));
    choice.position = editBox(names.byInterval.position, QStringLiteral("1"));
    choice.byKeywords = radioChoice(names.byKeywords, false);

    frame.body->addWidget(choice.byNumbers.button, 0, 0);
    frame.body->addWidget(choice.byNumbers.box, 0, 1);
    frame.body->addWidget(noteLabel(rangeNote), 0, 2);
    frame.body->addWidget(choice.byInterval, 1, 0);
    frame.body->addLayout(intervalRow(choice.every, names.byInterval.middle, choice.position), 1, 1, 1, 2);
    frame.body->addWidget(choice.byKeywords.button, 2, 0);
    frame.body->addWidget(choice.byKeywords.box, 2, 1);
    frame.body->addWidget(noteLabel(keywordNote), 2, 2);
    frame.body->setColumnStretch(2, 1);
    return choice;
}

// The chosen way as the page's enumeration (DeleteMode or ExtractMode).
template <typename Mode> Mode chosenMode(const LineChoice& choice)
{
    return choice.byInterval->isChecked()          ? Mode::Interval
           : choice.byKeywords.button->isChecked() ? Mode::Keywords
                                                   : Mode::LineNumbers;
}

} // namespace

QWidget* buildDeleteLinesPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testSettingsFirstNote());
    const LineChoiceNames names = {
        {"rbDelLineNo", QStringLiteral("指定行号删除"), "edtDelLineNo"},
        {"rbDelLine", QStringLiteral("间隔行号删除"), "edtLines", QStringLiteral("行删除第"), "edtLineNum"},
        {"rbDelKeys", QStringLiteral("按关键字删除行"), "edtDelKeys"},
    };
    const LineChoice lines = addLineChoice(frame, names);
    QRadioButton* rbDelEmpty = radioButton("rbDelEmpty", QStringLiteral("删除空行"), false);
    frame.body->addWidget(rbDelEmpty, 3, 0);

    const auto readParams = [=] {
        DeleteLinesParams params;
        params.mode = rbDelEmpty->isChecked() ? DeleteMode::BlankLines : chosenMode<DeleteMode>(lines);
        params.edtDelLineNo = gbkText(lines.byNumbers.box);
        params.edtLines = gbkText(lines.every);
        params.edtLineNum = gbkText(lines.position);
        params.edtDelKeys = gbkText(lines.byKeywords.box);
        return params;
    };
    bindJobPage(frame, runner, readParams, btnDelLineClick, deleteLinesJob);
    return frame.page;
}

QWidget* buildExtractLinesPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testSettingsFirstNote());
    const LineChoiceNames names = {
        {"rbGeLineNo", QStringLiteral("指定行号提取"), "edtGetLineNum"},
        {"rbGetLine", QStringLiteral("间隔行号提取"), "edtGetLines", QStringLiteral("行提取第"), "edtGetLineNo"},
        {"rbGetKeys", QStringLiteral("按关键字提取行"), "edtGetKeys"},
    };
    const LineChoice lines = addLineChoice(frame, names);
    QCheckBox* chkGetNoneLine = checkBox("chkGetNoneLine", QStringLiteral("提取空行"), true);
    frame.body->addWidget(chkGetNoneLine, 3, 0);

    const auto readParams = [=] {
        ExtractLinesParams params;
        params.mode = chosenMode<ExtractMode>(lines);
        params.edtGetLineNum = gbkText(lines.byNumbers.box);
        params.edtGetLines = gbkText(lines.every);
        params.edtGetLineNo = gbkText(lines.position);
        params.edtGetKeys = gbkText(lines.byKeywords.box);
        params.chkGetNoneLine = chkGetNoneLine->isChecked();
        return params;
    };
    bindJobPage(frame, runner, readParams, btnGetLineClick, extractLinesJob);
    return frame.page;
}

} // namespace qv::app
