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
namespace {

// The check box that lets names move along chains and cycles, and the
// preview's summary line, below the template box.
struct NamePreviewControls {
    QCheckBox* chains = nullptr;
    QLabel* summary = nullptr;
};

NamePreviewControls addNamePreviewControls(const PageFrame& frame)
{
    NamePreviewControls controls;
    controls.chains = checkBox("ckChains", QStringLiteral("允许名称互换与顺移"), false);
    controls.chains->setToolTip(QStringLiteral("新名称被本次处理中另一个将改名的文件占用时，按顺序改名，"
                                               "循环互换经过临时名称 .qv-swap-<进程号>-<序号>"));
    controls.summary = named(new QLabel, "lblPreview");
    frame.body->addWidget(controls.chains, 1, 1);
    frame.body->addWidget(controls.summary, 3, 0, 1, 2);
    return controls;
}

// Makes the preview follow the template box and the check box.
void followPreview(QLineEdit* box, QCheckBox* chains, const std::function<void()>& changed)
{
    QObject::connect(box, &QLineEdit::textChanged, box, [changed] { changed(); });
    QObject::connect(chains, &QCheckBox::toggled, chains, [changed] { changed(); });
}

} // namespace

QWidget* buildExtensionPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testFirstNote(true));
    QLineEdit* edtNewExt = editBox("edtNewExt", {}, QStringLiteral("请输入新扩展名格式."));
    addCaptioned(frame.body, QStringLiteral("新扩展名:"), edtNewExt, 0, 0);
    const NamePreviewControls preview = addNamePreviewControls(frame);
    QCheckBox* chains = preview.chains;
    const auto params = [edtNewExt, chains] { return ExtensionParams{gbkText(edtNewExt), chains->isChecked()}; };
    bindClick(frame, runner, params, btnExtClick);
    const auto changed = runner.offerPreview(
        frame.page,
        [params](const Workspace& ws, const FileSystem&) {
            PreviewRequest request;
            const ExtensionParams p = params();
            if (auto refusal = checkExtensionTemplate(p)) return PreviewRequest{std::move(refusal->message)};
            request.newNames = extensionNames(p, ws.files);
            request.chains = p.chains;
            return request;
        },
        preview.summary);
    followPreview(edtNewExt, chains, changed);
    return frame.page;
}

QWidget* buildRenamePage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testFirstNote(true));
    QLineEdit* edtNewFilename = editBox("edtNewFilename", {}, QStringLiteral("请输入新文件名格式."));
    addCaptioned(frame.body, QStringLiteral("新文件名:"), edtNewFilename, 0, 0);
    const NamePreviewControls preview = addNamePreviewControls(frame);
    QCheckBox* chains = preview.chains;
    QCheckBox* chkNameToUtf8 = checkBox("chkNameToUtf8", QStringLiteral("文件名转为UTF-8编码"), false);
    frame.body->addWidget(chkNameToUtf8, 2, 1);
    const auto params = [edtNewFilename, chains, chkNameToUtf8] {
        RenameParams p{gbkText(edtNewFilename), toGbk(QCoreApplication::applicationDirPath()), chains->isChecked()};
        p.chkNameToUtf8 = chkNameToUtf8->isChecked();
        return p;
    };
    bindClick(frame, runner, params, btnFilenameClick);
    const auto changed = runner.offerPreview(
        frame.page,
        [params](const Workspace& ws, const FileSystem& fs) {
            PreviewRequest request;
            const RenameParams p = params();
            if (auto refusal = checkRenameTemplate(p)) return PreviewRequest{std::move(refusal->message)};
            request.newNames = renameNames(p, ws.files, fs);
            request.chains = p.chains;
            request.toUtf8 = p.chkNameToUtf8;
            return request;
        },
        preview.summary);
    followPreview(edtNewFilename, chains, changed);
    QObject::connect(chkNameToUtf8, &QCheckBox::toggled, chkNameToUtf8, [changed] { changed(); });
    return frame.page;
}

} // namespace qv::app
