#include "app/pages/operation_pages.h"

#include "app/pages/page_builders.h"

namespace qv::app {

const std::vector<OperationPage>& operationPages()
{
    const QString none;
    static const std::vector<OperationPage> pages = {
        // clang-format off
        {"更改文件扩展名",     "TabSheet7",   "更改文件扩展名",     "btnExt",         "开始处理",     none,               buildExtensionPage},
        {"更改文件名称",       "TabSheet8",   "更改文件名称",       "btnFilename",    "开始处理",     "edtNewFilename",   buildRenamePage},
        {"更改文件或目录日期", "TabSheet9",   "更改文件或目录日期", "btnDate",        "开始处理",     none,               buildDatePage},
        {"更改文件或目录属性", "TabSheet10",  "更改文件或目录属性", "btnProp",        "开始处理",     none,               buildAttributePage},
        {"文件信息统计",       "ts3",         "文件信息统计",       "btnFileInfo",    "开始统计(&A)", none,               buildFileStatsPage},
        {"合并关键字内容",     "ts1",         "合并关键字内容",     "btnSyn",         "开始合并(&S)", none,               buildKeyMergePage},
        {"行内容截取字符",     "ts2",         "文本行内容截取",     "btnCut",         "开始截取(&C)", "edtCutFormat",     buildLineCutPage},
        {"行内容插入字符",     "ts4",         "文本行内容插入",     "btnIns",         "开始插入(&C)", "edtInsFormat",     buildLineInsertPage},
        {"行模式替换字符",     "TabSheet1",   "行模式替换",         "btnReplace",     "开始替换",     none,               buildLinePatternPage},
        {"内容按行删除",       "TabSheet3",   "内容按行删除",       "btnDelLine",     "开始删除",     none,               buildDeleteLinesPage},
        {"内容按行提取",       "TabSheet4",   "内容按行提取",       "btnGetLine",     "开始提取",     none,               buildExtractLinesPage},
        {"按关键字同步行",     "TabSheet6",   "按关键字同步行",     "btnLineSyn",     "开始同步",     none,               buildLineSyncPage},
        {"内容插入新行",       "TabSheet5",   "内容插入新行",       "btnInsLine",     "开始插入",     "edtNewLineFormat", buildInsertNewLinesPage},
        {"文件内容合并",       "TabSheet11",  "文件内容合并",       "btnFileCombine", "开始合并(&S)", none,               buildFileCombinePage},
        {"文件格式转换",       "TabSheet12",  "文件格式转换",       "btnConvert",     "开始转换",     "edtFileFormat",    buildConversionPage},
        {"文件内容编码转换",   "ts5",         "文件编码转换",       "btnCharset",     "开始转换",     none,               buildCharsetPage},
        {"文件内容替换",       "ts6",         "文件内容替换",       "btnRepCont",     "开始替换",     "edtRepCont",       buildContentReplacePage},
        // clang-format on
    };
    return pages;
}

} // namespace qv::app
