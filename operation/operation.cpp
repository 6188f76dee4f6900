#include "operation/operation.h"

#include "filelist/file_list.h"
#include "operation/host.h"
#include "platform/code_page.h"

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

void showClosing(Host& host, std::string_view firstLine, const std::vector<SkippedFile>& skipped)
{
    if (skipped.empty()) {
        host.showMessage(MessageKind::Information, firstLine);
        return;
    }
    const std::string text =
        std::string(firstLine) + "\r\n" + std::to_string(skipped.size()) + CodePage::gbk().fromUtf8(" 个文件未处理");
    host.showMessageWithDetails(MessageKind::Information, text, skippedDetails(skipped));
}

std::int64_t markedCount(const FileList& files)
{
    std::int64_t count = 0;
    for (std::size_t row = 1; row <= files.entryCount(); ++row) count += files.isMarked(row) ? 1 : 0;
    return count;
}

} // namespace qv
