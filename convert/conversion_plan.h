#pragma once
// What a format conversion run will do with each marked entry, worked out
// before any file is read: the converted path it writes, or why the entry is
// left alone. The run applies this plan; a dry run and the window's preview
// show it. Nothing here reads a file or starts the spreadsheet server.

#include "convert/conversion_call.h"
#include "filelist/file_list.h"

#include <string>
#include <vector>

namespace qv {

struct ConversionStep {
    std::string source;     // the entry's full path, code page 936
    std::string target;     // its converted path; "" when there is none
    std::string skipReason; // code page 936; empty for an entry that is converted

    bool skipped() const { return !skipReason.empty(); }
};

// One step per marked entry of `files`, in display order. An entry is left
// alone when the call names no converter ("不是可识别的转换"), gives no
// extension ("没有新的扩展名") or one outside the converter's table
// ("不支持转换为此格式"), and when its converted path names the source itself
// ("转换后的文件就是源文件") or another marked entry
// ("转换后的文件是本次处理的另一个源文件"): a conversion never writes over a
// file of its own run.
std::vector<ConversionStep> planConversion(const ConversionCall& call, const FileList& files);

} // namespace qv
