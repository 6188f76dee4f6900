#include "operation/operation.h"

#include "filelist/file_list.h"
#include "operation/host.h"
#include "platform/code_page.h"

#include <algorithm>

namespace qv {

OperationResult refuse(Host& host, Refusal refusal)
{
    host.showMessage(MessageKind::Error, refusal.message);
    OperationResult result;
    result.status = OperationResult::Status::Refused;
    result.refusal = std::move(refusal);
    return result;
}

std::string skippedDetails(const std::vector<SkippedFile>& skipped)
{
    const std::string separator = CodePage::gbk().fromUtf8("：");
    std::string text;
    for (const SkippedFile& file : skipped) {
        if (!text.empty()) text += "\r\n";
        text += file.path;
        if (!file.reason.empty()) text += separator + file.reason;
    }
    return text;
}

std::string stopNotice(const OperationResult& result)
{
    if (result.status != OperationResult::Status::Stopped) return {};
    const std::int64_t visited = result.processed + static_cast<std::int64_t>(result.skipped.size());
    const std::int64_t left = std::max<std::int64_t>(result.marked - visited, 0);
    return CodePage::gbk().fromUtf8("已停止处理，还有 " + std::to_string(left) + " 个选中的文件未处理");
}

std::string withStopNotice(std::string_view firstLine, const OperationResult& result)
{
    std::string text(firstLine);
    if (const std::string notice = stopNotice(result); !notice.empty()) text += "\r\n" + notice;
    return text;
}

void showClosing(Host& host, std::string_view firstLine, const OperationResult& result)
{
    std::string text = withStopNotice(firstLine, result);
    if (result.skipped.empty()) {
        host.showMessage(MessageKind::Information, text);
        return;
    }
    text += "\r\n" + std::to_string(result.skipped.size()) + CodePage::gbk().fromUtf8(" 个文件未处理");
    host.showMessageWithDetails(MessageKind::Information, text, skippedDetails(result.skipped));
}

std::int64_t markedCount(const FileList& files)
{
    std::int64_t count = 0;
    for (std::size_t row = 1; row <= files.entryCount(); ++row) count += files.isMarked(row) ? 1 : 0;
    return count;
}

} // namespace qv
