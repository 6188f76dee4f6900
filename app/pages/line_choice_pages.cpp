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

// A radio button's box, named after the button for screen readers.
QLineEdit* boxFor(QRadioButton* button, QLineEdit* box)
{
    box->setAccessibleName(button->text());
    return box;
}

} // namespace

QWidget* buildDeleteLinesPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testSettingsFirstNote());
    QRadioButton* rbDelLineNo = radioButton("rbDelLineNo", QStringLiteral("指定行号删除"), true);
    QLineEdit* edtDelLineNo = boxFor(rbDelLineNo, editBox("edtDelLineNo", QStringLiteral("1")));
    QRadioButton* rbDelLine = radioButton("rbDelLine", QStringLiteral("间隔行号删除"), false);
    QLineEdit* edtLines = editBox("edtLines", QStringLiteral("2"));
    QLineEdit* edtLineNum = editBox("edtLineNum", QStringLiteral("1"));
    QRadioButton* rbDelKeys = radioButton("rbDelKeys", QStringLiteral("按关键字删除行"), false);
    QLineEdit* edtDelKeys = boxFor(rbDelKeys, editBox("edtDelKeys"));
    QRadioButton* rbDelEmpty = radioButton("rbDelEmpty", QStringLiteral("删除空行"), false);

    frame.body->addWidget(rbDelLineNo, 0, 0);
    frame.body->addWidget(edtDelLineNo, 0, 1);
    frame.body->addWidget(noteLabel(rangeNote), 0, 2);
    frame.body->addWidget(rbDelLine, 1, 0);
    frame.body->addLayout(intervalRow(edtLines, QStringLiteral("行删除第"), edtLineNum), 1, 1, 1, 2);
    frame.body->addWidget(rbDelKeys, 2, 0);
    frame.body->addWidget(edtDelKeys, 2, 1);
    frame.body->addWidget(noteLabel(keywordNote), 2, 2);
    frame.body->addWidget(rbDelEmpty, 3, 0);
    frame.body->setColumnStretch(2, 1);

    const auto readParams = [=] {
        DeleteLinesParams params;
        params.mode = rbDelLine->isChecked()    ? DeleteMode::Interval
                      : rbDelKeys->isChecked()  ? DeleteMode::Keywords
                      : rbDelEmpty->isChecked() ? DeleteMode::BlankLines
                                                : DeleteMode::LineNumbers;
        params.edtDelLineNo = gbkText(edtDelLineNo);
        params.edtLines = gbkText(edtLines);
        params.edtLineNum = gbkText(edtLineNum);
        params.edtDelKeys = gbkText(edtDelKeys);
        return params;
    };
    bindClick(frame, runner, readParams, btnDelLineClick);
    addJobPreview(frame, runner, readParams, deleteLinesJob);
    return frame.page;
}

QWidget* buildExtractLinesPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testSettingsFirstNote());
    QRadioButton* rbGeLineNo = radioButton("rbGeLineNo", QStringLiteral("指定行号提取"), true);
    QLineEdit* edtGetLineNum = boxFor(rbGeLineNo, editBox("edtGetLineNum", QStringLiteral("1")));
    QRadioButton* rbGetLine = radioButton("rbGetLine", QStringLiteral("间隔行号提取"), false);
    QLineEdit* edtGetLines = editBox("edtGetLines", QStringLiteral("2"));
    QLineEdit* edtGetLineNo = editBox("edtGetLineNo", QStringLiteral("1"));
    QRadioButton* rbGetKeys = radioButton("rbGetKeys", QStringLiteral("按关键字提取行"), false);
    QLineEdit* edtGetKeys = boxFor(rbGetKeys, editBox("edtGetKeys"));
    QCheckBox* chkGetNoneLine = checkBox("chkGetNoneLine", QStringLiteral("提取空行"), true);

    frame.body->addWidget(rbGeLineNo, 0, 0);
    frame.body->addWidget(edtGetLineNum, 0, 1);
    frame.body->addWidget(noteLabel(rangeNote), 0, 2);
    frame.body->addWidget(rbGetLine, 1, 0);
    frame.body->addLayout(intervalRow(edtGetLines, QStringLiteral("行提取第"), edtGetLineNo), 1, 1, 1, 2);
    frame.body->addWidget(rbGetKeys, 2, 0);
    frame.body->addWidget(edtGetKeys, 2, 1);
    frame.body->addWidget(noteLabel(keywordNote), 2, 2);
    frame.body->addWidget(chkGetNoneLine, 3, 0);
    frame.body->setColumnStretch(2, 1);

    const auto readParams = [=] {
        ExtractLinesParams params;
        params.mode = rbGetLine->isChecked()   ? ExtractMode::Interval
                      : rbGetKeys->isChecked() ? ExtractMode::Keywords
                                               : ExtractMode::LineNumbers;
        params.edtGetLineNum = gbkText(edtGetLineNum);
        params.edtGetLines = gbkText(edtGetLines);
        params.edtGetLineNo = gbkText(edtGetLineNo);
        params.edtGetKeys = gbkText(edtGetKeys);
        params.chkGetNoneLine = chkGetNoneLine->isChecked();
        return params;
    };
    bindClick(frame, runner, readParams, btnGetLineClick);
    addJobPreview(frame, runner, readParams, extractLinesJob);
    return frame.page;
}

} // namespace qv::app
