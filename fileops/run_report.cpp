#include "fileops/run_report.h"

#include "filelist/host.h"
#include "filelist/workspace.h"
#include "platform/code_page.h"

#include <string>

namespace qv {
namespace {

// The reason, in UTF-8, following "有 N 个文件".
const char* reasonText(LeftAlone why)
{
    switch (why) {
    case LeftAlone::UnsafeName:
        return "没有改名：算出的新文件名为空、是“.”或“..”，或含有“/”，这样的名称会使文件离开所在目录。";
    case LeftAlone::UnsafeExtension:
        return "没有更改扩展名：算出的新文件名为空、是“.”或“..”，或含有“/”，这样的名称会使文件离开所在目录。";
    case LeftAlone::AttributesNotStored:
        return "的属性没有更改：所在的文件系统不能保存扩展属性 user.DOSATTRIB，无法记录存档、系统、隐藏和只读属性。";
    case LeftAlone::CreationTimeNotStored:
        return "的日期没有更改：所在的文件系统不能保存扩展属性 user.DOSATTRIB，无法记录创建日期。";
    case LeftAlone::LinkAttributes:
        return "的属性没有更改：它们是符号链接，符号链接本身不能记录存档、系统、隐藏和只读属性。";
    case LeftAlone::LinkCreationTime:
        return "的日期没有更改：它们是符号链接，符号链接本身不能记录创建日期。";
    }
    return "";
}

} // namespace

void showClosingMessage(Host& host, const Workspace& ws)
{
    host.showMessage(MessageKind::Information,
                     CodePage::gbk().fromUtf8("成功处理文件总数量：") + counterText(ws.counters.stChangeCount));
}

void tellLeftAlone(Host& host, LeftAlone why, std::int64_t count)
{
    if (count <= 0) return;
    const std::string text = "有 " + std::to_string(count) + " 个文件" + reasonText(why);
    host.showMessage(MessageKind::Error, CodePage::gbk().fromUtf8(text));
}

} // namespace qv
