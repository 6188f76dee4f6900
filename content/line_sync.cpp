#include "content/line_sync.h"

#include "content/content_job.h"
#include "text/bytes.h"
#include "text/keyword_list.h"
#include "text/output_path.h"
#include "text/run_error.h"

namespace qv {
namespace {

std::string beyondTargetMessage(std::size_t sourceLine, std::size_t targetLines)
{
    return programText("源文件第 ") + std::to_string(sourceLine) + programText(" 行含有关键字,但目标文件只有 ") +
           std::to_string(targetLines) + programText(" 行!");
}

} // namespace

LineSyncResult syncLines(const text::LineList& source, const text::LineList& target,
                         const std::vector<std::string>& keywords, Host& host)
{
    // The source line that replaces each target line, if any.
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    std::vector<std::size_t> from(target.size(), none);
    LineSyncResult result;
    for (std::size_t n = 0; n < source.size(); ++n) {
        host.processEvents();
        const std::string_view line = source[n];
        for (const std::string& keyword : keywords) {
            if (keyword.empty() || text::findIgnoreCase(keyword, line) == 0) continue;
            if (n >= target.size()) throw RunError(beyondTargetMessage(n + 1, target.size()));
            from[n] = n;
            ++result.records;
            break;
        }
    }
    result.lines.reserve(target.size(), target.byteCount());
    for (std::size_t row = 0; row < target.size(); ++row)
        result.lines.append(from[row] == none ? target[row] : source[from[row]]);
    return result;
}

OperationResult btnLineSynClick(const LineSyncParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return OperationResult{};
    if (params.edtLineKeys.empty()) return refuse(host, {programText("关键字为空,请输入后再试!"), "edtLineKeys"});
    const TwoFilePick pick = pickTwoFiles(ws.files);
    if (!pick.found) return refuse(host, {programText("请选择需要按关键字进行同步的两个文件！"), ""});

    const std::vector<std::string> keywords = text::parseKeywordList(params.edtLineKeys);
    const text::LineList source = fs.readLineList(ws.files.fullPath(pick.first));
    const std::string targetPath = ws.files.fullPath(pick.second);
    const text::LineList target = fs.readLineList(targetPath);
    const LineSyncResult synced = syncLines(source, target, keywords, host);
    fs.writeLineList(outputDiskPath(targetPath), synced.lines);

    OperationResult outcome;
    outcome.status = OperationResult::Status::Done;
    outcome.processed = synced.records;
    host.showMessage(MessageKind::Information, closingMessage(synced.records, CountUnit::Records));
    return outcome;
}

} // namespace qv
