#include "content/insert_new_lines.h"

#include "content/line_rules.h"
#include "template/evaluator.h"
#include "template/file_variables.h"
#include "text/bytes.h"
#include "text/integer_field.h"
#include "text/keyword_list.h"

#include <algorithm>
#include <memory>

namespace qv {
namespace {

// A line-function token as typed: the first occurrence of its opening text
// (any letter case) up to and including the next "}"; empty when the opening
// is found without a "}" after it.
struct Token {
    bool present = false;
    std::string text;
};

Token findToken(std::string_view content, std::string_view lowerOpening)
{
    const text::Pos p = text::findIgnoreCase(lowerOpening, content);
    if (p == 0) return {};
    const std::string_view rest = content.substr(static_cast<std::size_t>(p - 1));
    return {true, std::string(rest.substr(0, static_cast<std::size_t>(text::find("}", rest))))};
}

// The argument of a token: the bytes after its opening and before its last
// two (the closing ")}").
std::string_view tokenArgument(const Token& token, std::size_t openingLength)
{
    const auto length = static_cast<text::Pos>(token.text.size());
    return text::part(token.text, static_cast<text::Pos>(openingLength) + 1,
                      length - static_cast<text::Pos>(openingLength) - 2);
}

struct NewLinesRun {
    InsertNewLinesParams params;
    std::string templ;
    std::int64_t lineNumber = 0;
    IntervalRule interval;
    std::vector<std::string> keywords;
    std::string content; // with its escapes converted
    Token lineStr, lineStr2, lineRandStr;
    std::int64_t lineStrNumber = 0;
    std::string lineStr2Keyword;

    void prepare()
    {
        lineNumber = std::max<std::int32_t>(text::parseInteger(params.edtNewLineNo), 0);
        const std::int32_t n = text::parseInteger(params.edtInsPers);
        const std::int32_t m = text::parseInteger(params.edtInsNum);
        interval = IntervalRule(n, m);
        templ = std::string(text::trim(params.edtNewLineFormat));
        keywords = text::parseKeywordList(params.edtLineKey);
        lineStr = findToken(params.mmoNewCont, "${linestr(");
        lineStr2 = findToken(params.mmoNewCont, "${linestr2(");
        lineRandStr = findToken(params.mmoNewCont, "${linerandstr(");
        if (lineStr.present) lineStrNumber = text::parseInteger(tokenArgument(lineStr, 10));
        if (lineStr2.present) lineStr2Keyword = std::string(tokenArgument(lineStr2, 11));
        content = text::replaceAll(params.mmoNewCont, "\\t", "\t");
        content = text::replaceAll(content, "\\r", "\r");
        content = text::replaceAll(content, "\\n", "\n");
    }

    // True when the block takes lines of the file (a line function is typed).
    bool takesLines() const { return !lineStr.text.empty() || !lineStr2.text.empty() || !lineRandStr.text.empty(); }

    // The block for one file: variables, content template, line functions.
    std::string block(const text::LineList& source, const ContentFile& file, RandomIndex& random) const
    {
        FileVariables variables;
        variables.fullname = file.fullPath;
        variables.filename = std::string(file.name());
        variables.createdate = dateOfCell(file.cell(CreatedColumn));
        variables.modifydate = dateOfCell(file.cell(ModifiedColumn));
        std::string b = substituteFileVariables(content, variables);
        if (!templ.empty()) b = EvaluateTemplate(b, templ);

        const auto count = static_cast<std::int64_t>(source.size());
        if (!lineStr.text.empty() && lineStrNumber >= 1 && lineStrNumber <= count)
            b = text::replaceAll(b, lineStr.text, source[static_cast<std::size_t>(lineStrNumber - 1)]);
        if (!lineRandStr.text.empty() && count > 0)
            b = text::replaceAll(b, lineRandStr.text, source[static_cast<std::size_t>(random(count))]);
        if (!lineStr2.text.empty() && !lineStr2Keyword.empty()) {
            const auto found = std::find_if(source.begin(), source.end(), [&](std::string_view line) {
                return text::find(lineStr2Keyword, line) != 0;
            });
            if (found != source.end()) b = text::replaceAll(b, lineStr2.text, *found);
        }
        return b;
    }
};

} // namespace

ContentJob insertNewLinesJob(const InsertNewLinesParams& params, RandomIndex& random)
{
    auto run = std::make_shared<NewLinesRun>();
    run->params = params;

    ContentJob job;
    job.check = [run]() -> std::optional<Refusal> {
        const InsertNewLinesParams& p = run->params;
        if (p.mmoNewCont.empty()) return Refusal{programText("要插入的文字内容不能为空,请输入后再试!"), "mmoNewCont"};
        if (p.mode == NewLineMode::Keywords && p.edtLineKey.empty())
            return Refusal{programText("插入行关键字为空,请输入后再试!"), "edtLineKey"};
        if (p.mode == NewLineMode::Interval) return intervalRefusal(p.edtInsPers, "edtInsPers");
        return std::nullopt;
    };
    job.prepare = [run] { run->prepare(); };
    if (params.mode != NewLineMode::AtLineNumber) {
        job.perLine = [run, &random](const ContentFile& file) -> LineTransform {
            if (run->takesLines()) return {};
            return [run, block = run->block({}, file, random), number = std::int64_t{0}](std::string_view line,
                                                                                         std::string& out) mutable {
                ++number;
                const bool matches = run->params.mode == NewLineMode::Interval
                                         ? run->interval.matches(number)
                                         : containsAnyKeyword(line, run->keywords);
                if (matches) appendLine(out, block);
                appendLine(out, line);
            };
        };
    }
    job.transform = [run, &random](const text::LineList& source, const ContentFile& file, text::LineList& output,
                                   Host& host) {
        const std::string b = run->block(source, file, random);
        const NewLineMode mode = run->params.mode;
        if (mode == NewLineMode::AtLineNumber) {
            const auto k = static_cast<std::size_t>(std::min<std::int64_t>(run->lineNumber, source.size()));
            output.reserve(source.size() + 1, source.byteCount() + b.size());
            for (std::size_t i = 0; i < k; ++i) output.append(source[i]);
            output.append(b);
            for (std::size_t i = k; i < source.size(); ++i) output.append(source[i]);
            return FileVerdict::written();
        }
        output.reserve(source.size(), source.byteCount());
        for (std::size_t i = 0; i < source.size(); ++i) {
            host.processEvents();
            const std::string_view line = source[i];
            const bool matches = mode == NewLineMode::Interval ? run->interval.matches(static_cast<std::int64_t>(i) + 1)
                                                               : containsAnyKeyword(line, run->keywords);
            if (matches) output.append(b);
            output.append(line);
        }
        return FileVerdict::written();
    };
    return job;
}

OperationResult btnInsLineClick(const InsertNewLinesParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    return runContentJob(ws, host, fs, insertNewLinesJob(params, ws.random));
}

} // namespace qv
