#pragma once
// Line cut: a cut template applied to chosen lines of every marked file; each
// touched line keeps either the piece the template cut out or the rest of the
// line without that piece.

#include "content/content_job.h"
#include "content/line_rules.h"

#include <string>

namespace qv {

// The page's controls as typed (code page 936).
struct LineCutParams {
    std::string edtCutFormat; // the cut template, trimmed when used
    bool rbKeepCut = true;    // keep the cut-out piece; false: rbKeepLeft, keep the rest
    TemplateLines lines = TemplateLines::WithText;
    std::string edtCutLineNo = "1";
    std::string edtCutKeys; // one keyword, as typed
};

// The checks ("请输入内容截取格式！", "内容截取格式不正确，请在左边选择变量或函数！",
// "关键字不能为空，请输入后再试！"), the line number read when the run starts
// (values below 1 taken as 1) and the transform.
ContentJob lineCutJob(const LineCutParams& params);

// Runs line cut over the marked entries of `ws` (see runContentJob).
OperationResult btnCutClick(const LineCutParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
