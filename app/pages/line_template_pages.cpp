// The pages that rewrite chosen lines through a template: line cut and line
// insert.

#include "app/pages/page_builders.h"
#include "app/pages/page_kit.h"
#include "app/preview_window.h"
#include "content/line_cut.h"
#include "content/line_insert.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace qv::app {
namespace {

const QString textLinesHint = QStringLiteral("空行不进行插入操作");
const QString keywordLinesHint = QStringLiteral("只有包含插入关键字的行才进行插入操作");

// The caption column keeps its text's width and the columns of the box
// take the rest, so the caption stays beside its box on a wide page.
void keepCaptionBesideBox(QGridLayout* body)
{
    body->setColumnStretch(1, 1);
    body->setColumnStretch(2, 1);
}

// How one of the pages names the radio buttons that choose the lines its
// template rewrites; the last two have a box beside them.
struct TemplateLinesNames {
    ChoiceName all;
    ChoiceName withText;
    ChoiceName lineNumber;
    ChoiceName keyword;
};

// The lines both pages rewrite: all, those with text (checked), the line
// of a number, or the lines holding a keyword.
struct LineButtons {
    Choice all;
    Choice withText;
    Choice lineNumber;
    Choice keyword;
};

// Puts the choice of lines in `grid`, two columns wide and three rows
// high from `row`, `column`.
LineButtons addTemplateLines(QGridLayout* grid, int row, int column, const TemplateLinesNames& names)
{
    LineButtons lines;
    lines.all = radioChoice(names.all, false);
    lines.withText = radioChoice(names.withText, true, textLinesHint);
    lines.lineNumber = radioChoice(names.lineNumber, false, {}, QStringLiteral("1"));
    lines.keyword = radioChoice(names.keyword, false, keywordLinesHint);
    grid->addWidget(lines.all.button, row, column);
    grid->addWidget(lines.withText.button, row, column + 1);
    grid->addWidget(lines.lineNumber.button, row + 1, column);
    grid->addWidget(lines.lineNumber.box, row + 1, column + 1);
    grid->addWidget(lines.keyword.button, row + 2, column);
    grid->addWidget(lines.keyword.box, row + 2, column + 1);
    return lines;
}

// The lines the buttons choose.
TemplateLines chosenLines(const LineButtons& lines)
{
    return lines.all.button->isChecked()          ? TemplateLines::All
           : lines.lineNumber.button->isChecked() ? TemplateLines::LineNumber
           : lines.keyword.button->isChecked()    ? TemplateLines::Keyword
                                                  : TemplateLines::WithText;
}

} // namespace

QWidget* buildLineCutPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testFirstNote());
    QLineEdit* edtCutFormat = editBox("edtCutFormat", {}, QStringLiteral("请输入行内容截取格式."));
    QRadioButton* rbKeepCut = radioButton("rbKeepCut", QStringLiteral("保留截取到的内容"), true);
    QRadioButton* rbKeepLeft = radioButton("rbKeepLeft", QStringLiteral("保留截取后的内容"), false);
    addCaptioned(frame.body, QStringLiteral("截取格式:"), edtCutFormat, 0, 0, 2);
    frame.body->addWidget(rbKeepCut, 1, 1);
    frame.body->addWidget(rbKeepLeft, 1, 2);

    auto* group = named(new QGroupBox(QStringLiteral("行设置")), "GroupBox1");
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    const TemplateLinesNames names = {
        {"rbCutAllLine", QStringLiteral("所有行截取")},
        {"rbCutTextLine", QStringLiteral("有文字行截取")},
        {"rbCutLineNo", QStringLiteral("指定行号截取"), "edtCutLineNo"},
        {"rbCutKeysLine", QStringLiteral("关键字所在行截取"), "edtCutKeys"},
    };
    const LineButtons lines = addTemplateLines(grid, 0, 0, names);
    frame.body->addWidget(group, 2, 0, 1, 3);
    keepCaptionBesideBox(frame.body);

    const auto readParams = [=] {
        LineCutParams params;
        params.edtCutFormat = gbkText(edtCutFormat);
        params.rbKeepCut = rbKeepCut->isChecked();
        params.lines = chosenLines(lines);
        params.edtCutLineNo = gbkText(lines.lineNumber.box);
        params.edtCutKeys = gbkText(lines.keyword.box);
        return params;
    };
    bindJobPage(frame, runner, readParams, btnCutClick, lineCutJob);
    return frame.page;
}

QWidget* buildLineInsertPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testFirstNote());
    QLineEdit* edtInsFormat = editBox("edtInsFormat");
    addCaptioned(frame.body, QStringLiteral("插入格式:"), edtInsFormat, 0, 0, 2);
    const TemplateLinesNames names = {
        {"rbAllLine", QStringLiteral("所有行插入")},
        {"rbDataLine", QStringLiteral("有文字行插入")},
        {"rbInsLineNo", QStringLiteral("指定行号插入"), "edtInsLineNo"},
        {"rbKeys", QStringLiteral("关键字所在行插入"), "edtInsKeys"},
    };
    const LineButtons lines = addTemplateLines(frame.body, 1, 1, names);
    keepCaptionBesideBox(frame.body);

    const auto readParams = [=] {
        LineInsertParams params;
        params.edtInsFormat = gbkText(edtInsFormat);
        params.lines = chosenLines(lines);
        params.edtInsLineNo = gbkText(lines.lineNumber.box);
        params.edtInsKeys = gbkText(lines.keyword.box);
        return params;
    };
    bindJobPage(frame, runner, readParams, btnInsClick, lineInsertJob);
    return frame.page;
}

} // namespace qv::app
