// The insert-new-lines page.

#include "app/pages/page_builders.h"
#include "app/pages/page_kit.h"
#include "app/preview_window.h"
#include "content/insert_new_lines.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace qv::app {

QWidget* buildInsertNewLinesPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testSettingsFirstNote());
    QPlainTextEdit* mmoNewCont = memoBox("mmoNewCont");
    QLineEdit* edtNewLineFormat = editBox("edtNewLineFormat");
    QRadioButton* rbNewLineNo = radioButton("rbNewLineNo", QStringLiteral("指定行号插入"), true);
    QLineEdit* edtNewLineNo = boxBeside(rbNewLineNo, editBox("edtNewLineNo", QStringLiteral("0")));
    QRadioButton* rbIntLine = radioButton("rbIntLine", QStringLiteral("间隔行插入"), false);
    QLineEdit* edtInsPers = editBox("edtInsPers", QStringLiteral("2"));
    QLineEdit* edtInsNum = editBox("edtInsNum", QStringLiteral("1"));
    QRadioButton* rbKeyLine = radioButton("rbKeyLine", QStringLiteral("关键字行插入"), false);
    QLineEdit* edtLineKey = boxBeside(rbKeyLine, editBox("edtLineKey"));

    frame.body->addWidget(captionFor(QStringLiteral("需要插入的文字内容："), mmoNewCont), 0, 0, 1, 2);
    frame.body->addWidget(mmoNewCont, 1, 0, 3, 2);
    addCaptioned(frame.body, QStringLiteral("插入的内容格式："), edtNewLineFormat, 4, 0);

    frame.body->addWidget(rbNewLineNo, 0, 2);
    frame.body->addWidget(edtNewLineNo, 0, 3);
    frame.body->addWidget(rbIntLine, 1, 2);
    edtInsPers->setMaximumWidth(40);
    edtInsNum->setMaximumWidth(40);
    auto* interval = new QHBoxLayout;
    interval->addWidget(captionFor(QStringLiteral("每"), edtInsPers));
    interval->addWidget(edtInsPers);
    interval->addWidget(captionFor(QStringLiteral("行第"), edtInsNum));
    interval->addWidget(edtInsNum);
    interval->addWidget(new QLabel(QStringLiteral("行插入")));
    interval->addStretch(1);
    frame.body->addLayout(interval, 1, 3);
    frame.body->addWidget(rbKeyLine, 2, 2);
    frame.body->addWidget(edtLineKey, 2, 3);
    frame.body->addWidget(noteLabel(QStringLiteral("分号隔开多个关键字")), 3, 3, Qt::AlignTop);
    frame.body->setColumnStretch(1, 1);
    frame.body->setColumnStretch(3, 1);

    const auto readParams = [=] {
        InsertNewLinesParams params;
        params.mmoNewCont = memoText(mmoNewCont);
        params.edtNewLineFormat = gbkText(edtNewLineFormat);
        params.mode = rbIntLine->isChecked()   ? NewLineMode::Interval
                      : rbKeyLine->isChecked() ? NewLineMode::Keywords
                                               : NewLineMode::AtLineNumber;
        params.edtNewLineNo = gbkText(edtNewLineNo);
        params.edtInsPers = gbkText(edtInsPers);
        params.edtInsNum = gbkText(edtInsNum);
        params.edtLineKey = gbkText(edtLineKey);
        return params;
    };
    bindClick(frame, runner, readParams, btnInsLineClick);
    addPreviewButton(frame, runner, [readParams](const Workspace& ws, const FileSystem& fs, std::size_t row) {
        RandomIndex random = ws.random; // the run's own picks stay untouched
        return previewOfJob(insertNewLinesJob(readParams(), random), ws, fs, row);
    });
    return frame.page;
}

} // namespace qv::app
