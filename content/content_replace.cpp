#include "content/content_replace.h"

#include "template/evaluator.h"
#include "text/bytes.h"

#include <memory>

namespace qv {

std::string replaceKeyword(std::string_view templ)
{
    const text::Pos p = text::findIgnoreCase("${pos(", templ);
    if (p == 0) return {};
    const std::string_view rest = templ.substr(static_cast<std::size_t>(p - 1) + 6);
    const text::Pos q = text::find("}", rest);
    if (q - 2 <= 0) return {};
    return std::string(rest.substr(0, static_cast<std::size_t>(q - 2)));
}

std::int64_t replaceApplicationLimit(std::string_view text, std::string_view keyword)
{
    // One walk over the character boundaries, counting the places where the
    // keyword starts on one (as text::find would find them).
    std::int64_t occurrences = 0;
    std::size_t boundary = 0;
    for (std::size_t at = keyword.empty() ? std::string_view::npos : text.find(keyword); at != std::string_view::npos;
         at = text.find(keyword, at + 1)) {
        while (boundary < at) boundary += text::charLength(text, boundary);
        if (boundary == at) ++occurrences;
    }
    return 2 * occurrences + 16;
}

std::string replaceContent(std::string text, std::string_view keyword, std::string_view templ, const Clock& clock)
{
    if (keyword.empty()) return text;
    const std::int64_t limit = replaceApplicationLimit(text, keyword);
    for (std::int64_t applied = 0; applied < limit && text::find(keyword, text) > 0; ++applied) {
        std::string next = EvaluateTemplate(text, templ, clock);
        if (next == text) break;
        text = std::move(next);
    }
    return text;
}

ContentJob contentReplaceJob(const ContentReplaceParams& params, const Clock& clock)
{
    struct ReplaceRun {
        ContentReplaceParams params;
        const Clock* clock;
        std::string keyword;
    };
    auto run = std::make_shared<ReplaceRun>(ReplaceRun{params, &clock, {}});
    ContentJob job;
    job.check = [run]() -> std::optional<Refusal> {
        if (run->params.edtRepCont.empty()) return Refusal{programText("内容替换格式为空,请输入后再试!"), "edtRepCont"};
        return std::nullopt;
    };
    job.prepare = [run] { run->keyword = replaceKeyword(run->params.edtRepCont); };
    job.transform = [run](const text::LineList& source, const ContentFile&, text::LineList& output, Host&) {
        output = text::LineList::fromBytes(
            replaceContent(text::joinLines(source), run->keyword, run->params.edtRepCont, *run->clock));
        return FileVerdict::written();
    };
    return job;
}

OperationResult btnRepContClick(const ContentReplaceParams& params, Workspace& ws, Host& host, FileSystem& fs,
                                const Clock& clock)
{
    return runContentJob(ws, host, fs, contentReplaceJob(params, clock));
}

} // namespace qv
