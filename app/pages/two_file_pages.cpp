// The pages that carry content from the first marked file into the second:
// key merge and line sync.

#include "app/pages/page_builders.h"
#include "app/pages/page_kit.h"
#include "app/preview_window.h"
#include "content/key_merge.h"
#include "content/line_sync.h"
#include "operation/workspace.h"
#include "text/keyword_list.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace qv::app {

QWidget* buildKeyMergePage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info);
    frame.body->addWidget(noteLabel(QStringLiteral("注意：把源文件中与目标文件中有相同关键字的内容,合并到目标文件中,\n"
                                                   "内容格式: KeyName=Value,常用于INI文件处理."),
                                    "Label50"),
                          0, 0);
    const auto readParams = [] { return KeyMergeParams{}; }; // the page has no controls
    bindClick(frame, runner, readParams, btnSynClick);
    addPreviewButton(frame, runner, [](const Workspace& ws, const FileSystem& fs, std::size_t) {
        const auto merge = [](const text::LineList& source, const text::LineList& target, Host& host) {
            return mergeKeys(source, target, host).lines;
        };
        return previewOfTwoFiles(ws, fs, merge, QStringLiteral("请选择需要按关键字进行合并的两个文件！"));
    });
    return frame.page;
}

QWidget* buildLineSyncPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info);
    QLineEdit* edtLineKeys = editBox("edtLineKeys");
    addCaptioned(frame.body, QStringLiteral("关键字："), edtLineKeys, 0, 0);
    frame.body->addWidget(noteLabel(QStringLiteral("可分号隔开多个关键字。"), "Label25"), 0, 2);
    frame.body->addWidget(
        noteLabel(QStringLiteral("注意：根据关键字同步源文件行内容到目标文件中，替换目标文件同一行内容，\n"
                                 "常用于翻译内容的提取。"),
                  "Label26"),
        1, 0, 1, 3);
    frame.body->setColumnStretch(1, 1);
    const auto readParams = [edtLineKeys] { return LineSyncParams{gbkText(edtLineKeys)}; };
    bindClick(frame, runner, readParams, btnLineSynClick);
    addPreviewButton(frame, runner, [edtLineKeys](const Workspace& ws, const FileSystem& fs, std::size_t) {
        const std::string keywordText = gbkText(edtLineKeys);
        if (keywordText.empty()) return PreviewContent{QStringLiteral("关键字为空,请输入后再试!"), {}, {}, {}, {}};
        const auto merge = [keywords = text::parseKeywordList(keywordText)](const text::LineList& source,
                                                                            const text::LineList& target, Host& host) {
            return syncLines(source, target, keywords, host).lines;
        };
        return previewOfTwoFiles(ws, fs, merge, QStringLiteral("请选择需要按关键字进行同步的两个文件！"));
    });
    return frame.page;
}

} // namespace qv::app
