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

// The box beside a radio button carries the button's text as its name.
QLineEdit* boxBeside(QRadioButton* button, QLineEdit* box)
{
    box->setAccessibleName(button->text());
    return box;
}

// The caption column keeps its text's width and the columns of the box
// take the rest, so the caption stays beside its box on a wide page.
void keepCaptionBesideBox(QGridLayout* body)
{
    body->setColumnStretch(1, 1);
    body->setColumnStretch(2, 1);
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

    auto* lines = named(new QGroupBox(QStringLiteral("行设置")), "GroupBox1");
    auto* grid = new QGridLayout(lines);
    grid->setVerticalSpacing(2);
    QRadioButton* rbCutAllLine = radioButton("rbCutAllLine", QStringLiteral("所有行截取"), false);
    QRadioButton* rbCutTextLine = radioButton("rbCutTextLine", QStringLiteral("有文字行截取"), true, textLinesHint);
    QRadioButton* rbCutLineNo = radioButton("rbCutLineNo", QStringLiteral("指定行号截取"), false);
    QLineEdit* edtCutLineNo = boxBeside(rbCutLineNo, editBox("edtCutLineNo", QStringLiteral("1")));
    QRadioButton* rbCutKeysLine =
        radioButton("rbCutKeysLine", QStringLiteral("关键字所在行截取"), false, keywordLinesHint);
    QLineEdit* edtCutKeys = boxBeside(rbCutKeysLine, editBox("edtCutKeys"));
    grid->addWidget(rbCutAllLine, 0, 0);
    grid->addWidget(rbCutTextLine, 0, 1);
    grid->addWidget(rbCutLineNo, 1, 0);
    grid->addWidget(edtCutLineNo, 1, 1);
    grid->addWidget(rbCutKeysLine, 2, 0);
    grid->addWidget(edtCutKeys, 2, 1);
    frame.body->addWidget(lines, 2, 0, 1, 3);
    keepCaptionBesideBox(frame.body);

    const auto readParams = [=] {
        LineCutParams params;
        params.edtCutFormat = gbkText(edtCutFormat);
        params.rbKeepCut = rbKeepCut->isChecked();
        params.lines = rbCutAllLine->isChecked()    ? CutLines::All
                       : rbCutLineNo->isChecked()   ? CutLines::LineNumber
                       : rbCutKeysLine->isChecked() ? CutLines::Keyword
                                                    : CutLines::WithText;
        params.edtCutLineNo = gbkText(edtCutLineNo);
        params.edtCutKeys = gbkText(edtCutKeys);
        return params;
    };
    bindClick(frame, runner, readParams, btnCutClick);
    addJobPreview(frame, runner, readParams, lineCutJob);
    return frame.page;
}

QWidget* buildLineInsertPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testFirstNote());
    QLineEdit* edtInsFormat = editBox("edtInsFormat");
    QRadioButton* rbAllLine = radioButton("rbAllLine", QStringLiteral("所有行插入"), false);
    QRadioButton* rbDataLine = radioButton("rbDataLine", QStringLiteral("有文字行插入"), true, textLinesHint);
    QRadioButton* rbInsLineNo = radioButton("rbInsLineNo", QStringLiteral("指定行号插入"), false);
    QLineEdit* edtInsLineNo = boxBeside(rbInsLineNo, editBox("edtInsLineNo", QStringLiteral("1")));
    QRadioButton* rbKeys = radioButton("rbKeys", QStringLiteral("关键字所在行插入"), false, keywordLinesHint);
    QLineEdit* edtInsKeys = boxBeside(rbKeys, editBox("edtInsKeys"));
    addCaptioned(frame.body, QStringLiteral("插入格式:"), edtInsFormat, 0, 0, 2);
    frame.body->addWidget(rbAllLine, 1, 1);
    frame.body->addWidget(rbDataLine, 1, 2);
    frame.body->addWidget(rbInsLineNo, 2, 1);
    frame.body->addWidget(edtInsLineNo, 2, 2);
    frame.body->addWidget(rbKeys, 3, 1);
    frame.body->addWidget(edtInsKeys, 3, 2);
    keepCaptionBesideBox(frame.body);

    const auto readParams = [=] {
        LineInsertParams params;
        params.edtInsFormat = gbkText(edtInsFormat);
        params.lines = rbAllLine->isChecked()     ? InsertLines::All
                       : rbInsLineNo->isChecked() ? InsertLines::LineNumber
                       : rbKeys->isChecked()      ? InsertLines::Keyword
                                                  : InsertLines::WithText;
        params.edtInsLineNo = gbkText(edtInsLineNo);
        params.edtInsKeys = gbkText(edtInsKeys);
        return params;
    };
    bindClick(frame, runner, readParams, btnInsClick);
    addJobPreview(frame, runner, readParams, lineInsertJob);
    return frame.page;
}

} // namespace qv::app
