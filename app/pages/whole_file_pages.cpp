// The pages that work on whole files: file combine, content replace, charset
// conversion and format conversion.

#include "app/gbk_text.h"
#include "app/pages/page_builders.h"
#include "app/pages/page_kit.h"
#include "app/preview_window.h"
#include "content/charset_convert.h"
#include "content/content_replace.h"
#include "content/file_combine.h"
#include "convert/format_conversion.h"
#include "operation/workspace.h"
#include "platform/file_system.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace qv::app {
namespace {

// A page of one edit box with its caption and a note under it.
QLineEdit* singleBox(const PageFrame& frame, const char* name, const QString& caption, QLabel* note = nullptr)
{
    QLineEdit* box = editBox(name);
    addCaptioned(frame.body, caption, box, 0, 0);
    if (note) frame.body->addWidget(note, 1, 0, 1, 2);
    return box;
}

// The files a conversion would write, one a line beside its source; no
// file is read and the spreadsheet server is not started.
PreviewContent conversionPreview(const ConvertParams& params, const Workspace& ws, const FileSystem& fs)
{
    if (auto refusal = conversionRefusal(params)) return PreviewContent{fromGbk(refusal->message), {}, {}, {}, {}};
    PreviewContent content;
    content.outputName = QStringLiteral("将写入的文件：");
    for (const ConversionStep& step : planConversion(parseConversionCall(params.edtFileFormat), ws.files)) {
        content.source << fromGbk(step.source);
        if (step.skipped())
            content.output << QStringLiteral("不会写入：") + fromGbk(step.skipReason);
        else
            content.output << fromGbk(step.target) +
                                  (fs.exists(step.target) ? QStringLiteral("（替换现有文件）") : QString());
    }
    return content;
}

} // namespace

QWidget* buildFileCombinePage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info);
    frame.body->addWidget(noteLabel(QStringLiteral("注意：所有选择的文件内容按照显示顺序合并到最后一个选择的文件中，\n"
                                                   "可先点击标题排序再合并，常用于文字内容合并."),
                                    "Label27"),
                          0, 0);
    const auto readParams = [] { return FileCombineParams{}; }; // the page has no controls
    bindClick(frame, runner, readParams, btnFileCombineClick);
    addPreviewButton(frame, runner,
                     [](const Workspace& ws, const FileSystem& fs, std::size_t) { return previewOfCombine(ws, fs); });
    return frame.page;
}

QWidget* buildContentReplacePage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info);
    QLineEdit* edtRepCont = singleBox(frame, "edtRepCont", QStringLiteral("内容替换格式："));
    bindStart(frame.page, frame.start, runner, [edtRepCont](Workspace& ws, Host& host, FileSystem& fs) {
        const ContentReplaceParams params{gbkText(edtRepCont)};
        return resultOf([&] { return btnRepContClick(params, ws, host, fs); });
    });
    addPreviewButton(frame, runner, [edtRepCont](const Workspace& ws, const FileSystem& fs, std::size_t row) {
        return previewOfJob(contentReplaceJob(ContentReplaceParams{gbkText(edtRepCont)}), ws, fs, row);
    });
    return frame.page;
}

QWidget* buildCharsetPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info);
    QLineEdit* edtCharset = singleBox(frame, "edtCharset", QStringLiteral("新编码格式："),
                                      noteLabel(QStringLiteral("注意：选择对应的编码转换函数即可。"), "lbl2"));
    const auto readParams = [edtCharset] { return CharsetParams{gbkText(edtCharset)}; };
    bindClick(frame, runner, readParams, btnCharsetClick);
    addPreviewButton(frame, runner, [readParams](const Workspace& ws, const FileSystem& fs, std::size_t row) {
        const CharsetParams params = readParams();
        if (auto refusal = charsetRefusal(params)) return PreviewContent{fromGbk(refusal->message), {}, {}, {}, {}};
        const CharsetCall call = charsetCallOf(params.edtCharset);
        if (call == CharsetCall::Other)
            return PreviewContent{QStringLiteral("不是可识别的编码转换：不会处理任何文件"), {}, {}, {}, {}};
        return previewOfJob(charsetJob(call, fs, std::make_shared<ReplacedCharacterCounts>()), ws, fs, row,
                            call == CharsetCall::ToAnsi, call == CharsetCall::ToUtf8);
    });
    return frame.page;
}

QWidget* buildConversionPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info);
    QLineEdit* edtFileFormat =
        singleBox(frame, "edtFileFormat", QStringLiteral("新文件格式："),
                  noteLabel(QStringLiteral("注意：转换格式参数必须是扩展名，如${XlsTo(新的扩展名)}，\n"
                                           "新的扩展名可为：txt, csv, xls, xml, htm等。"),
                            "Label19"));
    bindStart(frame.page, frame.start, runner, [edtFileFormat](Workspace& ws, Host& host, FileSystem& fs) {
        return runConversion(ConversionParams{gbkText(edtFileFormat)}, ws, host, fs);
    });
    addPreviewButton(frame, runner, [edtFileFormat](const Workspace& ws, const FileSystem& fs, std::size_t) {
        return conversionPreview(ConvertParams{gbkText(edtFileFormat)}, ws, fs);
    });
    return frame.page;
}

} // namespace qv::app
