#pragma once
// Line insert: chosen lines of every marked file rewritten through an insert
// template such as ${AddLeft(s)}. The template may hold ${Fullname} and
// ${Filename} (replaced per file) and one serial-number token ${Sn(start,
// length)} (replaced per processed line by a counter that restarts with each
// file).

#include "content/content_job.h"
#include "content/line_rules.h"

#include <string>

namespace qv {

// The page's controls as typed (code page 936).
struct LineInsertParams {
    std::string edtInsFormat; // the insert template, trimmed when used
    TemplateLines lines = TemplateLines::WithText;
    std::string edtInsLineNo = "1";
    std::string edtInsKeys; // one keyword, as typed
};

// Checks ("请输入内容插入格式！", "内容插入格式不正确，请在左边选择变量或函数！",
// "关键字不能为空，请输入后再试！"), run set-up and transform. In line-number
// mode the serial-number token is replaced by its start value, so it never
// reaches the evaluator as an unknown call; a file with no lines gives an
// empty output in that mode.
ContentJob lineInsertJob(const LineInsertParams& params);

OperationResult btnInsClick(const LineInsertParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
