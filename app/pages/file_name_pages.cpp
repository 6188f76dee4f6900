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

// The template box with its caption, and below it the check box that lets
// names move along chains and cycles and the preview's summary line.
struct NameControls {
    QLineEdit* box = nullptr;
    QCheckBox* chains = nullptr;
    QLabel* summary = nullptr;
};

NameControls addNameControls(const PageFrame& frame, const char* name, const QString& caption, const QString& hint)
{
    NameControls controls;
    controls.box = editBox(name, {}, hint);
    addCaptioned(frame.body, caption, controls.box, 0, 0);
    controls.chains = checkBox("ckChains", QStringLiteral("允许名称互换与顺移"), false);
    controls.chains->setToolTip(QStringLiteral("新名称被本次处理中另一个将改名的文件占用时，按顺序改名，"
                                               "循环互换经过临时名称 .qv-swap-<进程号>-<序号>"));
    controls.summary = named(new QLabel, "lblPreview");
    frame.body->addWidget(controls.chains, 1, 1);
    frame.body->addWidget(controls.summary, 3, 0, 1, 2);
    return controls;
}

// Makes the preview follow the template box and the check box.
void followPreview(const NameControls& controls, const std::function<void()>& changed)
{
    QObject::connect(controls.box, &QLineEdit::textChanged, controls.box, [changed] { changed(); });
    QObject::connect(controls.chains, &QCheckBox::toggled, controls.chains, [changed] { changed(); });
}

} // namespace

QWidget* buildExtensionPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testFirstNote(true));
    const NameControls controls =
        addNameControls(frame, "edtNewExt", QStringLiteral("新扩展名:"), QStringLiteral("请输入新扩展名格式."));
    const auto params = [controls] { return ExtensionParams{gbkText(controls.box), controls.chains->isChecked()}; };
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
        controls.summary);
    followPreview(controls, changed);
    return frame.page;
}

QWidget* buildRenamePage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info, testFirstNote(true));
    const NameControls controls =
        addNameControls(frame, "edtNewFilename", QStringLiteral("新文件名:"), QStringLiteral("请输入新文件名格式."));
    QCheckBox* chkNameToUtf8 = checkBox("chkNameToUtf8", QStringLiteral("文件名转为UTF-8编码"), false);
    frame.body->addWidget(chkNameToUtf8, 2, 1);
    const auto params = [controls, chkNameToUtf8] {
        RenameParams p{gbkText(controls.box), toGbk(QCoreApplication::applicationDirPath()),
                       controls.chains->isChecked()};
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
        controls.summary);
    followPreview(controls, changed);
    QObject::connect(chkNameToUtf8, &QCheckBox::toggled, chkNameToUtf8, [changed] { changed(); });
    return frame.page;
}

} // namespace qv::app
