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

#include <initializer_list>
#include <ostream>
#include <tuple>
#include <type_traits>

namespace qv::cli {
namespace {

// A memo's text: line breaks typed in the shell become the memo's CR LF.
std::string memoText(const std::string& utf8)
{
    return programText(text::withCrLfBreaks(utf8));
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
    choice.argument = programText(choice.argument);
    return choice;
}

// "--interval N:M" as the two boxes' texts.
std::pair<std::string, std::string> intervalOf(const std::string& value)
{
    const auto colon = value.find(':');
    if (colon == std::string::npos) throw UsageError("--interval takes N:M, not '" + value + "'");
    return {programText(value.substr(0, colon)), programText(value.substr(colon + 1))};
}

// The mode of the one mode option given among `modes`, or the first mode
// when none is given.
template <typename Mode>
Mode chosenMode(const ParsedOptions& options, std::initializer_list<std::pair<std::string, Mode>> modes)
{
    const std::pair<std::string, Mode>* chosen = nullptr;
    for (const auto& mode : modes) {
        if (!options.has(mode.first)) continue;
        if (chosen) throw UsageError("give only one of --" + chosen->first + " and --" + mode.first);
        chosen = &mode;
    }
    return chosen ? chosen->second : modes.begin()->second;
}

// The lines --lines chose.
TemplateLines chosenLines(const LineChoice& choice)
{
    return choice.mode == "all"       ? TemplateLines::All
           : choice.mode == "number"  ? TemplateLines::LineNumber
           : choice.mode == "keyword" ? TemplateLines::Keyword
                                      : TemplateLines::WithText;
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
    params.edtCutFormat = programText(options.value("template"));
    params.rbKeepCut = keep == "piece";
    params.lines = chosenLines(choice);
    if (choice.mode == "number") params.edtCutLineNo = choice.argument;
    if (choice.mode == "keyword") params.edtCutKeys = choice.argument;
    return runLineOperation(options, out, err, params, btnCutClick, lineCutJob);
}

int runInsertCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    const LineChoice choice = lineChoice(options.value("lines"));
    LineInsertParams params;
    params.edtInsFormat = programText(options.value("template"));
    params.lines = chosenLines(choice);
    if (choice.mode == "number") params.edtInsLineNo = choice.argument;
    if (choice.mode == "keyword") params.edtInsKeys = choice.argument;
    return runLineOperation(options, out, err, params, btnInsClick, lineInsertJob);
}

int runPatternCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    const LinePatternParams params{memoText(options.value("pattern")), programText(options.value("prefix")),
                                   programText(options.value("count"))};
    return runLineOperation(options, out, err, params, btnReplaceClick, linePatternJob);
}

int runDeleteLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    DeleteLinesParams params;
    params.mode = chosenMode<DeleteMode>(options, {{"numbers", DeleteMode::LineNumbers},
                                                   {"interval", DeleteMode::Interval},
                                                   {"keywords", DeleteMode::Keywords},
                                                   {"empty", DeleteMode::BlankLines}});
    params.edtDelLineNo = programText(options.value("numbers"));
    if (params.mode == DeleteMode::Interval)
        std::tie(params.edtLines, params.edtLineNum) = intervalOf(options.value("interval"));
    params.edtDelKeys = programText(options.value("keywords"));
    return runLineOperation(options, out, err, params, btnDelLineClick, deleteLinesJob);
}

int runExtractLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ExtractLinesParams params;
    params.mode = chosenMode<ExtractMode>(options, {{"numbers", ExtractMode::LineNumbers},
                                                    {"interval", ExtractMode::Interval},
                                                    {"keywords", ExtractMode::Keywords}});
    params.edtGetLineNum = programText(options.value("numbers"));
    if (params.mode == ExtractMode::Interval)
        std::tie(params.edtGetLines, params.edtGetLineNo) = intervalOf(options.value("interval"));
    params.edtGetKeys = programText(options.value("keywords"));
    params.chkGetNoneLine = !options.flag("no-empty");
    return runLineOperation(options, out, err, params, btnGetLineClick, extractLinesJob);
}

int runInsertLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    InsertNewLinesParams params;
    params.mode = chosenMode<NewLineMode>(
        options,
        {{"at", NewLineMode::AtLineNumber}, {"interval", NewLineMode::Interval}, {"keywords", NewLineMode::Keywords}});
    params.mmoNewCont = memoText(options.value("content"));
    params.edtNewLineFormat = programText(options.value("template"));
    params.edtNewLineNo = programText(options.value("at"));
    if (params.mode == NewLineMode::Interval)
        std::tie(params.edtInsPers, params.edtInsNum) = intervalOf(options.value("interval"));
    params.edtLineKey = programText(options.value("keywords"));
    return runLineOperation(options, out, err, params, btnInsLineClick, insertNewLinesJob);
}

} // namespace qv::cli
