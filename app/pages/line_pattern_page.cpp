// The line-pattern replace page.

#include "app/pages/page_builders.h"
#include "app/pages/page_kit.h"
#include "app/preview_window.h"
#include "content/line_pattern.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace qv::app {

QWidget* buildLinePatternPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testFirstNote());
    QPlainTextEdit* mmPattern = memoBox("mmPattern");
    QLineEdit* edPrefix = editBox("edPrefix", QStringLiteral("$"));
    QLineEdit* edArgNum = editBox("edArgNum", QStringLiteral("3"));
    frame.body->addWidget(captionFor(QStringLiteral("模式格式："), mmPattern), 0, 0, Qt::AlignTop);
    frame.body->addWidget(mmPattern, 0, 1, 1, 3);
    addCaptioned(frame.body, QStringLiteral("参数前缀："), edPrefix, 1, 0);
    frame.body->addWidget(noteLabel(QStringLiteral("样式：$1,$2,$3...")), 1, 2, 1, 2);
    addCaptioned(frame.body, QStringLiteral("参数个数："), edArgNum, 2, 0);
    frame.body->setColumnStretch(3, 1);

    const auto readParams = [=] {
        return LinePatternParams{memoText(mmPattern), gbkText(edPrefix), gbkText(edArgNum)};
    };
    bindJobPage(frame, runner, readParams, btnReplaceClick, linePatternJob);
    return frame.page;
}

} // namespace qv::app
