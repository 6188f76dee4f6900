// The pages that compute new file names: change extension and rename.

#include "app/gbk_text.h"
#include "app/pages/page_builders.h"
#include "app/pages/page_kit.h"
#include "fileops/change_extension.h"
#include "fileops/rename.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace qv::app {

QWidget* buildExtensionPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testFirstNote(true));
    QLineEdit* edtNewExt = editBox("edtNewExt", {}, QStringLiteral("请输入新扩展名格式."));
    frame.body->addWidget(captionFor(QStringLiteral("新扩展名:"), edtNewExt), 0, 0);
    frame.body->addWidget(edtNewExt, 0, 1);
    bindStart(frame.page, frame.start, runner, [edtNewExt](Workspace& ws, Host& host, FileSystem& fs) {
        const ExtensionParams params{gbkText(edtNewExt)};
        return resultOf([&] { return btnExtClick(params, ws, host, fs); });
    });
    return frame.page;
}

QWidget* buildRenamePage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testFirstNote(true));
    QLineEdit* edtNewFilename = editBox("edtNewFilename", {}, QStringLiteral("请输入新文件名格式."));
    frame.body->addWidget(captionFor(QStringLiteral("新文件名:"), edtNewFilename), 0, 0);
    frame.body->addWidget(edtNewFilename, 0, 1);
    auto* chkNameToUtf8 = new QCheckBox(QStringLiteral("文件名转为UTF-8编码"));
    chkNameToUtf8->setObjectName("chkNameToUtf8");
    frame.body->addWidget(chkNameToUtf8, 1, 1);
    bindStart(frame.page, frame.start, runner,
              [edtNewFilename, chkNameToUtf8](Workspace& ws, Host& host, FileSystem& fs) {
                  RenameParams params{gbkText(edtNewFilename), toGbk(QCoreApplication::applicationDirPath())};
                  params.chkNameToUtf8 = chkNameToUtf8->isChecked();
                  return resultOf([&] { return btnFilenameClick(params, ws, host, fs); });
              });
    return frame.page;
}

} // namespace qv::app
