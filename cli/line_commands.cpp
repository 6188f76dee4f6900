#include "cli/subcommands.h"

#include "cli/console_host.h"
#include "cli/console_text.h"
#include "cli/content_run.h"
#include "cli/file_arguments.h"
#include "cli/options.h"
#include "content/insert_new_lines.h"
#include "content/line_cut.h"
#include "content/line_delete_extract.h"
#include "content/line_insert.h"
#include "content/line_pattern.h"
#include "platform/posix_file_system.h"

#include <ostream>
#include <tuple>
#include <type_traits>

namespace qv::cli {
namespace {

// A memo's text: line breaks typed in the shell become the memo's CR LF.
std::string memoText(const std::string& utf8)
{
    return toProgramText(text::withCrLfBreaks(utf8));
}

struct LineChoice {
    std::string mode;     // text, all, number, keyword
    std::string argument; // after the ":"
};

// "--lines text|all|number:N|keyword:K".
LineChoice lineChoice(const std::string& value)
{
    const auto colon = value.find(':');
    LineChoice choice{value.substr(0, colon), colon == std::string::npos ? "" : value.substr(colon + 1)};
    const bool needsArgument = choice.mode == "number" || choice.mode == "keyword";
    if ((choice.mode != "text" && choice.mode != "all" && !needsArgument) ||
        (needsArgument != (colon != std::string::npos)))
        throw UsageError("--lines takes text, all, number:N or keyword:K, not '" + value + "'");
    choice.argument = toProgramText(choice.argument);
    return choice;
}

// "--interval N:M" as the two boxes' texts.
std::pair<std::string, std::string> intervalOf(const std::string& value)
{
    const auto colon = value.find(':');
    if (colon == std::string::npos) throw UsageError("--interval takes N:M, not '" + value + "'");
    return {toProgramText(value.substr(0, colon)), toProgramText(value.substr(colon + 1))};
}

// The one mode option given among `names`, or "" when none is.
std::string chosenMode(const ParsedOptions& options, const std::vector<std::string>& names)
{
    std::string chosen;
    for (const std::string& name : names) {
        if (!options.has(name)) continue;
        if (!chosen.empty()) throw UsageError("give only one of --" + chosen + " and --" + name);
        chosen = name;
    }
    return chosen;
}

// The line kind --lines chose, in an enum with the values All, LineNumber,
// Keyword and WithText.
template <typename Lines> Lines chosenLines(const LineChoice& choice)
{
    return choice.mode == "all"       ? Lines::All
           : choice.mode == "number"  ? Lines::LineNumber
           : choice.mode == "keyword" ? Lines::Keyword
                                      : Lines::WithText;
}

// Runs a line operation with `params` as runContentCommand runs it: `click`
// for the run and the dry run, `job` for the preview.
template <typename Params, typename Job>
int runLineOperation(const ParsedOptions& options, std::ostream& out, std::ostream& err, const Params& params,
                     OperationResult (*click)(const Params&, Workspace&, Host&, FileSystem&), Job job)
{
    ContentCommand command;
    command.run = [params, click](Workspace& ws, Host& host, FileSystem& fs) { return click(params, ws, host, fs); };
    command.previewJob = [params, job](Workspace& ws, const FileSystem&) -> std::optional<ContentJob> {
        if constexpr (std::is_invocable_v<Job, const Params&, RandomIndex&>)
            return job(params, ws.random); // a job that draws random lines
        else
            return job(params);
    };
    return runContentCommand(options, out, err, command);
}

} // namespace

int runCutCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    const std::string keep = options.value("keep");
    if (keep != "piece" && keep != "rest") throw UsageError("--keep takes piece or rest, not '" + keep + "'");
    const LineChoice choice = lineChoice(options.value("lines"));
    LineCutParams params;
    params.edtCutFormat = toProgramText(options.value("template"));
    params.rbKeepCut = keep == "piece";
    params.lines = chosenLines<CutLines>(choice);
    if (choice.mode == "number") params.edtCutLineNo = choice.argument;
    if (choice.mode == "keyword") params.edtCutKeys = choice.argument;
    return runLineOperation(options, out, err, params, btnCutClick, lineCutJob);
}

int runInsertCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    const LineChoice choice = lineChoice(options.value("lines"));
    LineInsertParams params;
    params.edtInsFormat = toProgramText(options.value("template"));
    params.lines = chosenLines<InsertLines>(choice);
    if (choice.mode == "number") params.edtInsLineNo = choice.argument;
    if (choice.mode == "keyword") params.edtInsKeys = choice.argument;
    return runLineOperation(options, out, err, params, btnInsClick, lineInsertJob);
}

int runPatternCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    const LinePatternParams params{memoText(options.value("pattern")), toProgramText(options.value("prefix")),
                                   toProgramText(options.value("count"))};
    return runLineOperation(options, out, err, params, btnReplaceClick, linePatternJob);
}

int runDeleteLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    DeleteLinesParams params;
    const std::string mode = chosenMode(options, {"numbers", "interval", "keywords", "empty"});
    params.mode = mode == "interval"   ? DeleteMode::Interval
                  : mode == "keywords" ? DeleteMode::Keywords
                  : mode == "empty"    ? DeleteMode::BlankLines
                                       : DeleteMode::LineNumbers;
    params.edtDelLineNo = toProgramText(options.value("numbers"));
    if (mode == "interval") std::tie(params.edtLines, params.edtLineNum) = intervalOf(options.value("interval"));
    params.edtDelKeys = toProgramText(options.value("keywords"));
    return runLineOperation(options, out, err, params, btnDelLineClick, deleteLinesJob);
}

int runExtractLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ExtractLinesParams params;
    const std::string mode = chosenMode(options, {"numbers", "interval", "keywords"});
    params.mode = mode == "interval"   ? ExtractMode::Interval
                  : mode == "keywords" ? ExtractMode::Keywords
                                       : ExtractMode::LineNumbers;
    params.edtGetLineNum = toProgramText(options.value("numbers"));
    if (mode == "interval") std::tie(params.edtGetLines, params.edtGetLineNo) = intervalOf(options.value("interval"));
    params.edtGetKeys = toProgramText(options.value("keywords"));
    params.chkGetNoneLine = !options.flag("no-empty");
    return runLineOperation(options, out, err, params, btnGetLineClick, extractLinesJob);
}

int runInsertLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    InsertNewLinesParams params;
    const std::string mode = chosenMode(options, {"at", "interval", "keywords"});
    params.mode = mode == "interval"   ? NewLineMode::Interval
                  : mode == "keywords" ? NewLineMode::Keywords
                                       : NewLineMode::AtLineNumber;
    params.mmoNewCont = memoText(options.value("content"));
    params.edtNewLineFormat = toProgramText(options.value("template"));
    params.edtNewLineNo = toProgramText(options.value("at"));
    if (mode == "interval") std::tie(params.edtInsPers, params.edtInsNum) = intervalOf(options.value("interval"));
    params.edtLineKey = toProgramText(options.value("keywords"));
    return runLineOperation(options, out, err, params, btnInsLineClick, insertNewLinesJob);
}

} // namespace qv::cli
