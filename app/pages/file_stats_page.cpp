// The file statistics page: counts of the file at the grid's current row,
// shown in read-only boxes.

#include "app/gbk_text.h"
#include "app/pages/page_builders.h"
#include "app/pages/page_kit.h"
#include "content/file_stats.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <array>

namespace qv::app {

QWidget* buildFileStatsPage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info);
    struct Count {
        const char* name;
        const char* caption;
        std::int64_t FileStats::*value;
    };
    static const std::array<Count, 7> counts = {{
        {"edtFileSize", "文件大小:", &FileStats::edtFileSize},
        {"edtAllLine", "总行数:", &FileStats::edtAllLine},
        {"edtEmptyLine", "空行数:", &FileStats::edtEmptyLine},
        {"edtDataLine", "数据行数:", &FileStats::edtDataLine},
        {"edtCharMax", "行最大字符数:", &FileStats::edtCharMax},
        {"edtCharMin", "行最小字符数:", &FileStats::edtCharMin},
        {"edtCharAve", "行平均字符数:", &FileStats::edtCharAve},
    }};
    std::array<QLineEdit*, counts.size()> boxes{};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        boxes[i] = resultBox(counts[i].name, QStringLiteral("0"));
        const int row = static_cast<int>(i % 4);
        const int column = static_cast<int>(i / 4) * 2;
        addCaptioned(frame.body, QString::fromUtf8(counts[i].caption), boxes[i], row, column);
    }
    QLineEdit* edtFilename = resultBox("edtFilename", {});
    addCaptioned(frame.body, QStringLiteral("统计文件名称:"), edtFilename, 4, 0, 3);

    bindStart(
        frame.page, frame.start, runner,
        [&runner, boxes, edtFilename](Workspace& ws, Host& host, FileSystem& fs) -> std::optional<OperationResult> {
            const std::optional<FileStats> stats =
                btnFileInfoClick(FileStatsParams{runner.currentGridRow()}, ws, host, fs);
            if (!stats) return std::nullopt;
            for (std::size_t i = 0; i < counts.size(); ++i)
                boxes[i]->setText(QString::number((*stats).*counts[i].value));
            edtFilename->setText(fromGbk(stats->edtFilename));
            return std::nullopt;
        });
    return frame.page;
}

} // namespace qv::app
