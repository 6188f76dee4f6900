#pragma once
// Content replace: the whole text of each marked file is handed to the
// template evaluator again and again while it still contains the keyword
// named in the template's ${Pos(...)} call, so that one positional edit acts
// on every occurrence of the keyword.

#include "content/content_job.h"
#include "operation/host.h"
#include "operation/workspace.h"
#include "platform/clock.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// What the page holds: the template of edtRepCont, code page 936.
struct ContentReplaceParams {
    std::string edtRepCont;
};

// The keyword of a template: after the first "${pos(" (any letter case), the
// bytes up to the ")" assumed to stand just before the next "}", as typed.
// Empty when there is no "${pos(", no "}" after it, or ")}" follows at once.
// "${DelMid(${Pos(abc)},3)}" gives "abc".
std::string replaceKeyword(std::string_view templ);

// Most applications one text gets: every occurrence of the keyword in the
// original text (overlapping ones included) twice over, plus a margin. An
// application normally removes or changes one occurrence, so this is far more
// than a terminating template needs, while a template that never removes the
// keyword (or keeps reinserting it) still ends.
std::int64_t replaceApplicationLimit(std::string_view text, std::string_view keyword);

// Applies the template to `text` while the keyword occurs in it (letter case
// matters). Stops early when an application leaves the text unchanged, and
// after replaceApplicationLimit() applications. An empty keyword applies it
// zero times. Cost: one evaluation (O(text)) per application.
std::string replaceContent(std::string text, std::string_view keyword, std::string_view templ,
                           const Clock& clock = systemClock());

// The content job of content replace; `clock` must outlive it.
ContentJob contentReplaceJob(const ContentReplaceParams& params, const Clock& clock = systemClock());

// The content replace run on the content job frame: "内容替换格式为空,请输入后再试!"
// (focus edtRepCont) for an empty template; every marked file's text (each
// line followed by CR LF) goes through replaceContent and is split into lines
// again for its output file.
OperationResult btnRepContClick(const ContentReplaceParams& params, Workspace& ws, Host& host, FileSystem& fs,
                                const Clock& clock = systemClock());

} // namespace qv
