#pragma once
// The preview of a content page: a window beside the main window that shows,
// for the file under the grid's cursor (or the first marked file), the source
// on the left and the output the page's run would write on the right, the
// changed lines highlighted and the output's name above. It follows the
// page's controls as they change. Nothing is written.

#include "app/pages/page_kit.h"
#include "content/content_preview.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace qv {
class FileSystem;
struct ContentJob;
struct ContentPreview;
struct Workspace;
} // namespace qv

namespace qv::app {

class PageRunner;

// What a preview shows.
struct PreviewContent {
    QString refusal;    // the run would refuse the parameters: shown instead of the rest
    QString outputName; // the output file (or, for a conversion, what the list holds)
    QString note;       // why the file would be left alone, or that the output goes on
    QStringList source;
    QStringList output;
};

// The lines a preview shows at most on each side.
constexpr std::size_t previewLineLimit = 2000;

// Makes the preview of the file of `row` (1-based) from the page's controls
// as they are now.
using PreviewMaker = std::function<PreviewContent(const Workspace& ws, const FileSystem& fs, std::size_t row)>;

class PreviewWindow final : public QDialog {
    Q_OBJECT
public:
    PreviewWindow(QWidget* page, PageRunner& runner, PreviewMaker maker);

    // Recomputes the preview now.
    void refresh();

private:
    std::size_t previewRow() const;
    void display(const PreviewContent& content);

    PageRunner& runner_;
    PreviewMaker maker_;
    QLabel* outputName_;
    QPlainTextEdit* source_;
    QPlainTextEdit* output_;
    QTimer* pending_;
};

// Puts the button "预览" (btnPreview) beside the page's start button; it
// opens the page's preview window, made by `maker`.
void addPreviewButton(const PageFrame& frame, PageRunner& runner, PreviewMaker maker);

// Code page 936 lines as the preview shows them; `utf8` when they are UTF-8.
QStringList previewLines(const std::vector<std::string>& lines, bool utf8 = false);

// The preview of `job` for the file of `row`: its source and output lines
// (UTF-8 where told), the output's name, the refusal or the reason the run
// would leave the file alone.
PreviewContent previewOfJob(const ContentJob& job, const Workspace& ws, const FileSystem& fs, std::size_t row,
                            bool sourceUtf8 = false, bool outputUtf8 = false);

// Binds a page whose run is one content job: the start button runs `click`
// and the preview button previews the job `makeJob` makes, both with the
// parameters `readParams` reads at that moment.
template <typename ReadParams, typename Click, typename MakeJob>
void bindJobPage(const PageFrame& frame, PageRunner& runner, ReadParams readParams, Click click, MakeJob makeJob)
{
    bindClick(frame, runner, readParams, click);
    addPreviewButton(frame, runner, [readParams, makeJob](const Workspace& ws, const FileSystem& fs, std::size_t row) {
        return previewOfJob(makeJob(readParams()), ws, fs, row);
    });
}

// The same for file combine, whose one output all marked files make.
PreviewContent previewOfCombine(const Workspace& ws, const FileSystem& fs);

// The same for key merge and line sync: the target's output, or `refusal`
// when fewer than two files are marked.
PreviewContent previewOfTwoFiles(const Workspace& ws, const FileSystem& fs, const TwoFileMerge& merge,
                                 const QString& refusal);

} // namespace qv::app
