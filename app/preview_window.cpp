#include "app/preview_window.h"

#include "app/gbk_text.h"
#include "app/pages/page_kit.h"
#include "app/pages/run_operation.h"
#include "content/content_preview.h"
#include "operation/workspace.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

namespace qv::app {
namespace {

QPlainTextEdit* pane(const char* name, const QString& accessibleName)
{
    auto* box = named(new QPlainTextEdit, name);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setAccessibleName(accessibleName);
    return box;
}

// Marks the lines of `box` that differ from the line of the same number on
// the other side.
void highlightChanged(QPlainTextEdit* box, const QStringList& lines, const QStringList& other)
{
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat changed;
    changed.setBackground(QColor(255, 236, 160));
    changed.setProperty(QTextFormat::FullWidthSelection, true);
    QTextBlock block = box->document()->firstBlock();
    for (int i = 0; i < lines.size() && block.isValid(); ++i, block = block.next()) {
        if (i < other.size() && lines[i] == other[i]) continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format = changed;
        marks.append(mark);
    }
    box->setExtraSelections(marks);
}

// What `preview` shows, beside `source`.
PreviewContent contentOf(const ContentPreview& preview, QStringList source, bool outputUtf8)
{
    PreviewContent content;
    if (preview.refusal) {
        content.refusal = fromGbk(preview.refusal->message);
        return content;
    }
    content.outputName = QStringLiteral("输出文件：") + fromGbk(shownPath(preview.outputPath));
    if (!preview.skipReason.empty())
        content.note = QStringLiteral("不会写入：") + fromGbk(preview.skipReason);
    else if (!preview.complete)
        content.note = QStringLiteral("只显示前 %1 行").arg(previewLineLimit);
    content.source = std::move(source);
    content.output = previewLines(preview.lines, outputUtf8);
    return content;
}

} // namespace

PreviewContent previewOfJob(const ContentJob& job, const Workspace& ws, const FileSystem& fs, std::size_t row,
                            bool sourceUtf8, bool outputUtf8)
{
    const ContentPreview preview = previewContentJob(job, ws.files, row, fs, previewLineLimit);
    return contentOf(preview,
                     previewLines(previewSourceLines(fs, ws.files.fullPath(row), previewLineLimit), sourceUtf8),
                     outputUtf8);
}

PreviewContent previewOfCombine(const Workspace& ws, const FileSystem& fs)
{
    const ContentPreview preview = previewCombine(ws.files, fs, previewLineLimit);
    QStringList sources;
    forEachMarkedRow(ws.files, [&](std::size_t row) { sources << fromGbk(ws.files.shownPath(row)); });
    return contentOf(preview, sources, false);
}

PreviewContent previewOfTwoFiles(const Workspace& ws, const FileSystem& fs, const TwoFileMerge& merge,
                                 const QString& refusal)
{
    const TwoFilePick pick = pickTwoFiles(ws.files);
    if (!pick.found) return PreviewContent{refusal, {}, {}, {}, {}};
    const ContentPreview preview = previewTwoFiles(ws.files, fs, previewLineLimit, merge);
    return contentOf(preview, previewLines(previewSourceLines(fs, ws.files.fullPath(pick.second), previewLineLimit)),
                     false);
}

QStringList previewLines(const std::vector<std::string>& lines, bool utf8)
{
    QStringList out;
    for (const std::string& line : lines)
        out << (utf8 ? QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())) : fromGbk(line));
    return out;
}

PreviewWindow::PreviewWindow(QWidget* page, PageRunner& runner, PreviewMaker maker)
    : QDialog(page->window()), runner_(runner), maker_(std::move(maker))
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("预览"));
    setModal(false);
    resize(900, 560);
    outputName_ = named(new QLabel, "lblPreviewOutput");
    outputName_->setWordWrap(true);
    outputName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    source_ = pane("mmoPreviewSource", QStringLiteral("源文件"));
    output_ = pane("mmoPreviewOutput", QStringLiteral("处理结果"));
    auto* panes = new QHBoxLayout;
    panes->addWidget(source_);
    panes->addWidget(output_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(outputName_);
    layout->addLayout(panes, 1);

    // The page's controls refresh the preview shortly after they change, so
    // typing is never held up by a preview per keystroke.
    pending_ = new QTimer(this);
    pending_->setSingleShot(true);
    pending_->setInterval(150);
    connect(pending_, &QTimer::timeout, this, &PreviewWindow::refresh);
    const auto later = [this] {
        if (isVisible()) pending_->start();
    };
    for (QLineEdit* box : page->findChildren<QLineEdit*>()) connect(box, &QLineEdit::textChanged, this, later);
    for (QPlainTextEdit* memo : page->findChildren<QPlainTextEdit*>())
        connect(memo, &QPlainTextEdit::textChanged, this, later);
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
        if (button->isCheckable()) connect(button, &QAbstractButton::toggled, this, later);
}

std::size_t PreviewWindow::previewRow() const
{
    const FileList& files = runner_.previewWorkspace().files;
    const std::size_t cursor = runner_.currentGridRow();
    if (!files.isEmpty() && cursor <= files.lastRow() && files.isMarked(cursor)) return cursor;
    std::size_t first = 0;
    forEachMarkedRow(files, [&](std::size_t row) {
        if (first == 0) first = row;
    });
    return first;
}

void PreviewWindow::refresh()
{
    const std::size_t row = previewRow();
    if (row == 0) {
        display(PreviewContent{QStringLiteral("请先选择文件！"), {}, {}, {}, {}});
        return;
    }
    display(maker_(runner_.previewWorkspace(), runner_.previewFileSystem(), row));
}

void PreviewWindow::display(const PreviewContent& content)
{
    if (!content.refusal.isEmpty()) {
        outputName_->setText(content.refusal);
        outputName_->setStyleSheet(QStringLiteral("color: red;"));
        source_->clear();
        output_->clear();
        return;
    }
    outputName_->setStyleSheet({});
    outputName_->setText(content.note.isEmpty() ? content.outputName : content.outputName + "\n" + content.note);
    source_->setPlainText(content.source.join('\n'));
    output_->setPlainText(content.output.join('\n'));
    highlightChanged(output_, content.output, content.source);
}

void addPreviewButton(const PageFrame& frame, PageRunner& runner, PreviewMaker maker)
{
    auto* button = named(new QPushButton(QStringLiteral("预览")), "btnPreview");
    button->setToolTip(QStringLiteral("查看处理结果，不写入任何文件"));
    frame.buttons->insertWidget(frame.buttons->count() - 1, button, 0, Qt::AlignRight | Qt::AlignBottom);
    QWidget* page = frame.page;
    PreviewWindow* window = nullptr;
    QObject::connect(button, &QPushButton::clicked, page, [page, &runner, maker, window]() mutable {
        if (!window) window = new PreviewWindow(page, runner, maker);
        window->refresh();
        window->show();
        window->raise();
    });
}

} // namespace qv::app
