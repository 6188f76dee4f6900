#include "content/line_cut.h"

#include "content/line_rules.h"
#include "template/evaluator.h"
#include "template/prepared_template.h"
#include "text/bytes.h"
#include "text/integer_field.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace qv {
namespace {

struct CutRun {
    LineCutParams params;
    std::string templ;
    std::int64_t lineNumber = 1;
    std::optional<PreparedTemplate> cut; // made when the run starts
};

// `line` without the first occurrence of `piece`; the line itself when the
// piece is empty or does not occur.
std::string withoutPiece(std::string_view line, std::string_view piece)
{
    std::string rest(line);
    if (const text::Pos at = text::find(piece, line); at != 0)
        text::erase(rest, at, static_cast<text::Pos>(piece.size()));
    return rest;
}

void cutOneLine(const CutRun& run, text::LineList& output, const text::LineList& source)
{
    if (source.empty()) return; // no line to cut: the output is empty
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(run.lineNumber, source.size()));
    const std::string_view line = source[n - 1];
    const std::string piece = EvaluateTemplate(line, run.templ);
    output.reserve(source.size(), source.byteCount() + piece.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (i != n - 1)
            output.append(source[i]);
        else if (run.params.rbKeepCut)
            output.append(piece);
        else
            output.append(withoutPiece(line, piece));
    }
}

bool isCut(const CutRun& run, std::string_view line)
{
    return touchesLine(run.params.lines, run.params.edtCutKeys, line);
}

// Appends the output line for `line` and its break: the piece the template
// cuts out, or the line without it; a line the cut does not touch (or one
// the template gives back whole) counts as an empty piece.
void cutLine(const CutRun& run, std::string_view line, std::string& piece, std::string& out)
{
    const bool keepCut = run.params.rbKeepCut;
    const bool touched = isCut(run, line);
    if (touched) run.cut->applyTo(line, piece);
    if (!touched || piece == line) {
        if (!keepCut) out.append(line);
    } else if (keepCut) {
        out.append(piece);
    } else if (const text::Pos at = text::find(piece, line); at != 0) {
        const auto begin = static_cast<std::size_t>(at - 1);
        out.append(line.substr(0, begin));
        out.append(line.substr(begin + piece.size()));
    } else {
        out.append(line);
    }
    out.append("\r\n");
}

} // namespace

ContentJob lineCutJob(const LineCutParams& params)
{
    auto run = std::make_shared<CutRun>();
    run->params = params;
    run->templ = std::string(text::trim(params.edtCutFormat));

    ContentJob job;
    job.check = [run]() -> std::optional<Refusal> {
        if (auto refusal = templateRefusal(run->templ, "请输入内容截取格式！",
                                           "内容截取格式不正确，请在左边选择变量或函数！", "edtCutFormat"))
            return refusal;
        if (run->params.lines == TemplateLines::Keyword && run->params.edtCutKeys.empty())
            return Refusal{programText("关键字不能为空，请输入后再试！"), "edtCutKeys"};
        return std::nullopt;
    };
    job.prepare = [run] {
        run->lineNumber = std::max<std::int32_t>(text::parseInteger(run->params.edtCutLineNo), 1);
        run->cut.emplace(run->templ);
    };
    if (params.lines == TemplateLines::LineNumber) {
        job.transform = [run](const text::LineList& source, const ContentFile&, text::LineList& output, Host&) {
            cutOneLine(*run, output, source);
            return FileVerdict::written();
        };
        return job;
    }
    job.perLine = [run](const ContentFile&) -> LineTransform {
        return [run, piece = std::string()](std::string_view line, std::string& out) mutable {
            cutLine(*run, line, piece, out);
        };
    };
    return job;
}

OperationResult btnCutClick(const LineCutParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    return runContentJob(ws, host, fs, lineCutJob(params));
}

} // namespace qv
