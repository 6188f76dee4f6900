#include "template/catalogue.h"

#include "platform/code_page.h"

#include <algorithm>

namespace qv {
namespace {

// Catalogue texts as UTF-8 source text; they are converted to code page 936
// once. `longForm` is empty for the entries that insert their own item.
struct EntrySource {
    std::string_view text;
    std::string_view longForm;
};

constexpr EntrySource entrySources[] = {
    {"${Ext}: 原扩展名", ""},
    {"${Filename}: 原文件名", ""},
    {"${Fullname}: 原完整文件名", ""},
    {"${Date(yyyymmdd)}: 日期格式", "${Date(yyyy-mmm-dd)}"},
    {"${Time(hhnnss)}: 时间格式", "${Time(hh:nn:ss)}"},
    {"${Sn(10,n)}: 从10开始的序号", "${Sn(开始序号,长度)}"},
    {"${LastDir}: 最后一级目录名", ""},
    {"${DelStr(s)}: 删除设定字符", "${DelStr(要删除的字符)}"},
    {"${DelRange(s1,s2)}: 删除字符范围", "${DelRange(要删除的开始字符,要删除的结束字符)}"},
    {"${DelLeft(n)}: 删除左边字符", "${DelLeft(从左边开始删除的字符数量)}"},
    {"${DelRight(n)}: 删除右边字符", "${DelRight(从右边开始删除的字符数量)}"},
    {"${DelMid(n1,n2)}: 删除中间字符", "${DelMid(要删除的字符开始位置,要删除的字符数量)}"},
    {"${RepStr(s1,s2)}: 替换字符", "${RepStr(要替换的原字符,替换的新字符)}"},
    {"${AddLeft(s)}: 左边添加字符", "${AddLeft(从左边开始添加的字符)}"},
    {"${AddRight(s)}: 右边添加字符", "${AddRight(从右边开始添加的字符)}"},
    {"${AddMid(n,s)}: 中间添加字符", "${AddMid(要添加的字符开始位置,要添加的字符)}"},
    {"${File(s)}: 文件中字符命名", "${File(文本文件名称)}"},
    {"${File2(s)}: 文件中字符替换命名", "${File2(文本文件名称)}"},
    {"${GetLeft(n)}: 从左边获取字符", "${GetLeft(从左边开始获取的字符数量)}"},
    {"${GetRight(n)}: 从右边获取字符", "${GetRight(从右边开始获取的字符数量)}"},
    {"${GetMid(n1,n2)}: 从中间获取字符", "${GetMid(要获取的字符开始位置,要获取的字符数量)}"},
    {"${GetStr(s,n)}: 单关键字获取字符", "${GetStr(要获取的字符关键字,要获取的字符数量)}"},
    {"${GetStr2(s1,s2)}: 双关键字获取字符", "${GetStr2(要获取的开始字符,要获取的结束字符)}"},
    {"${AddMid2(s1,n,s2)}: 关键字位置添加字符", "${AddMid2(要添加的字符关键字,偏移量,要添加的字符)}"},
    {"${NewLine(n)}: 按位置换行", "${NewLine(要换行的字符数量)}"},
    {"${LineStr(n)}: 指定行的字符", "${LineStr(获取字符行的行号)}"},
    {"${LineStr2(s)}: 指定关键字行的字符", "${LineStr2(获取字符行的关键字)}"},
    {"${Xchg(s1,s2)}: 交换字符", "${Xchg(要交换的字符1,要交换的字符2)}"},
    {"${LineRandStr()}: 随机行的字符", ""},
    {"${DelStrL(s)}: 删除关键字左边字符", "${DelStrL(要删除左边字符的关键字)}"},
    {"${DelStrR(s)}: 删除关键字右边字符", "${DelStrR(要删除右边字符的关键字)}"},
    {"${Pos(s)}: 获取关键字的位置", "${Pos(要获取位置的关键字)}"},
    {"${GetMid2(s,n1,n2)}: 关键字位置获取字符", "${GetMid2(要获取位置的关键字,偏移量,要获取的字符数量)}"},
    {"${XlsTo(s)}: Excel转换为", "${XlsTo(新的扩展名)}"},
    {"${CsvTo(s)}: Csv转换为", "${CsvTo(新的扩展名)}"},
    {"${TxtTo(s)}: Text转换为", "${TxtTo(新的扩展名)}"},
    {"${VcfTo(s)}: Vcf转换为", "${VcfTo(新的扩展名)}"},
    {"${Len(s)}: 获取字符的长度", "${Len(要获取长度的字符)}"},
    {"${LineOrg()}: 当前行的字符", ""},
    {"${Chs2Num(s)}: 中文数字转阿拉伯数字", "${Chs2Num(需要转换的字符)}"},
    {"${ToUtf8()}: 文件内容转换为UTF8编码", ""},
    {"${ToAnsi()}: 文件内容转换为ANSI编码", ""},
    {"${CreateDate}: 原文件创建日期", ""},
    {"${ModifyDate}: 原文件修改日期", ""},
    {"${RepStr2(n1,n2,s)}: 按位置替换字符", "${RepStr2(开始位置,字符数量,替换的新字符)}"},
};

// The entry text up to and including the "}" of its first "}:".
std::string itemOf(std::string_view entryText)
{
    const text::Pos at = text::find("}:", entryText);
    return std::string(at > 0 ? text::part(entryText, 1, at) : entryText);
}

std::vector<CatalogueEntry> buildEntries()
{
    const CodePage& gbk = CodePage::gbk();
    std::vector<CatalogueEntry> entries;
    entries.reserve(std::size(entrySources));
    for (const EntrySource& source : entrySources) {
        std::string text = gbk.fromUtf8(source.text);
        std::string insertion = source.longForm.empty() ? itemOf(text) : gbk.fromUtf8(source.longForm);
        entries.push_back({std::move(text), std::move(insertion)});
    }
    return entries;
}

} // namespace

const std::vector<CatalogueEntry>& catalogueEntries()
{
    static const std::vector<CatalogueEntry> entries = buildEntries();
    return entries;
}

std::string insertCatalogueItem(std::string_view boxText, text::Pos selectionStart, text::Pos selectionLength,
                                std::string_view insertion)
{
    const auto size = static_cast<text::Pos>(boxText.size());
    const text::Pos caret = std::clamp<text::Pos>(selectionStart, 0, size);
    const std::string_view selected = text::part(boxText, caret + 1, selectionLength);
    if (!selected.empty()) return text::replaceAll(boxText, selected, insertion);
    std::string out(boxText);
    text::insert(insertion, out, caret + 1);
    return out;
}

} // namespace qv
