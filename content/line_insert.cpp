#include "content/line_insert.h"

#include "content/line_rules.h"
#include "template/evaluator.h"
#include "template/file_variables.h"
#include "template/prepared_template.h"
#include "text/bytes.h"
#include "text/integer_field.h"

#include <algorithm>
#include <memory>

namespace qv {
namespace {

struct InsertRun {
    LineInsertParams params;
    std::string templ;
    std::int64_t lineNumber = 1;
    std::optional<SerialNumber> serial;
    std::shared_ptr<const PreparedTemplate> prepared; // the run's template, made when the run starts
};

// The insert template with the file's own variables replaced.
std::string fileTemplate(const InsertRun& run, const ContentFile& file)
{
    FileVariables variables;
    variables.fullname = file.fullPath;
    variables.filename = std::string(file.name());
    return substituteFileVariables(run.templ, variables);
}

bool isProcessed(const InsertRun& run, std::string_view line)
{
    return touchesLine(run.params.lines, run.params.edtInsKeys, line);
}

void insertAtLineNumber(const InsertRun& run, std::string templ, const text::LineList& source, text::LineList& output)
{
    if (source.empty()) return;
    if (run.serial) templ = SerialNumber(*run.serial).replaceIn(templ);
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(run.lineNumber, source.size()));
    const std::string changed = EvaluateTemplate(source[n - 1], templ);
    output.reserve(source.size(), source.byteCount() + changed.size());
    for (std::size_t i = 0; i < source.size(); ++i) output.append(i == n - 1 ? std::string_view(changed) : source[i]);
}

// The per-line insert for one file. The template is prepared once per run,
// or once per file when the file's variables change it; a serial-number
// token changes it on every processed line, so those lines are evaluated in
// full.
LineTransform insertTransform(const std::shared_ptr<const InsertRun>& run, const ContentFile& file)
{
    std::string templ = fileTemplate(*run, file);
    auto prepared = templ == run->templ ? run->prepared : std::make_shared<const PreparedTemplate>(templ);
    return [run, prepared, templ = std::move(templ), serial = run->serial,
            changed = std::string()](std::string_view line, std::string& out) mutable {
        if (!isProcessed(*run, line)) {
            out.append(line);
        } else if (!serial) {
            prepared->applyTo(line, changed);
            out.append(changed);
        } else {
            out.append(EvaluateTemplate(line, serial->replaceIn(templ)));
        }
        out.append("\r\n");
    };
}

} // namespace

ContentJob lineInsertJob(const LineInsertParams& params)
{
    auto run = std::make_shared<InsertRun>();
    run->params = params;
    run->templ = std::string(text::trim(params.edtInsFormat));

    ContentJob job;
    job.check = [run]() -> std::optional<Refusal> {
        if (auto refusal = templateRefusal(run->templ, "请输入内容插入格式！",
                                           "内容插入格式不正确，请在左边选择变量或函数！", "edtInsFormat"))
            return refusal;
        if (run->params.lines == TemplateLines::Keyword && run->params.edtInsKeys.empty())
            return Refusal{programText("关键字不能为空，请输入后再试！"), "edtInsKeys"};
        return std::nullopt;
    };
    job.prepare = [run] {
        run->lineNumber = std::max<std::int32_t>(text::parseInteger(run->params.edtInsLineNo), 1);
        run->serial = findSerialNumber(run->templ);
        run->prepared = std::make_shared<const PreparedTemplate>(run->templ);
    };
    if (params.lines == TemplateLines::LineNumber) {
        job.transform = [run](const text::LineList& source, const ContentFile& file, text::LineList& output, Host&) {
            insertAtLineNumber(*run, fileTemplate(*run, file), source, output);
            return FileVerdict::written();
        };
        return job;
    }
    job.perLine = [run](const ContentFile& file) { return insertTransform(run, file); };
    return job;
}

OperationResult btnInsClick(const LineInsertParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    return runContentJob(ws, host, fs, lineInsertJob(params));
}

} // namespace qv
