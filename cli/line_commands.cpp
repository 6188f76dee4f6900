#include "cli/line_commands.h"

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

// A line operation as runContentCommand runs it: `run` for the run and the
// dry run, `job` (given the workspace) for the preview.
template <typename Run, typename Job> ContentCommand lineCommand(Run run, Job job)
{
    ContentCommand command;
    command.run = std::move(run);
    command.previewJob = [job = std::move(job)](Workspace& ws) -> std::optional<ContentJob> { return job(ws); };
    return command;
}

} // namespace

int runCutCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"template", "T", "", "the cut template, e.g. '${GetMid(3,8)}'"},
        {"keep", "piece|rest", "piece", "keep the cut-out piece, or the rest of the line"},
        {"lines", "text|all|number:N|keyword:K", "text", "lines with text, all lines, line N, lines holding K"},
        dryRunOption,
        previewOption,
        listOption};
    const auto options = parseOptions(args, specs);
    if (printedHelp(options, "cut [OPTIONS] FILE...", "Cuts a piece out of lines; writes NAME.qv.EXT beside each FILE.",
                    specs, out))
        return 0;
    const std::string keep = options.value("keep");
    if (keep != "piece" && keep != "rest") throw UsageError("--keep takes piece or rest, not '" + keep + "'");
    const LineChoice choice = lineChoice(options.value("lines"));
    LineCutParams params;
    params.edtCutFormat = toProgramText(options.value("template"));
    params.rbKeepCut = keep == "piece";
    params.lines = choice.mode == "all"       ? CutLines::All
                   : choice.mode == "number"  ? CutLines::LineNumber
                   : choice.mode == "keyword" ? CutLines::Keyword
                                              : CutLines::WithText;
    if (choice.mode == "number") params.edtCutLineNo = choice.argument;
    if (choice.mode == "keyword") params.edtCutKeys = choice.argument;
    return runContentCommand(
        options, out, err,
        lineCommand([params](Workspace& ws, Host& host, FileSystem& fs) { return btnCutClick(params, ws, host, fs); },
                    [params](Workspace&) { return lineCutJob(params); }));
}

int runInsertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"template", "T", "", "the insert template, e.g. '${AddLeft(${Sn(1,3)}-)}'; ${Fullname}, ${Filename} allowed"},
        {"lines", "text|all|number:N|keyword:K", "text", "lines with text, all lines, line N, lines holding K"},
        dryRunOption,
        previewOption,
        listOption};
    const auto options = parseOptions(args, specs);
    if (printedHelp(options, "insert [OPTIONS] FILE...",
                    "Rewrites lines through a template; writes NAME.qv.EXT beside each FILE.", specs, out))
        return 0;
    const LineChoice choice = lineChoice(options.value("lines"));
    LineInsertParams params;
    params.edtInsFormat = toProgramText(options.value("template"));
    params.lines = choice.mode == "all"       ? InsertLines::All
                   : choice.mode == "number"  ? InsertLines::LineNumber
                   : choice.mode == "keyword" ? InsertLines::Keyword
                                              : InsertLines::WithText;
    if (choice.mode == "number") params.edtInsLineNo = choice.argument;
    if (choice.mode == "keyword") params.edtInsKeys = choice.argument;
    return runContentCommand(
        options, out, err,
        lineCommand([params](Workspace& ws, Host& host, FileSystem& fs) { return btnInsClick(params, ws, host, fs); },
                    [params](Workspace&) { return lineInsertJob(params); }));
}

int runPatternCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"pattern", "P", "", "the line pattern; $1, $2 ... stand for the fields; a line break gives two lines"},
        {"prefix", "S", "$", "the parameter prefix"},
        {"count", "N", "3", "how many fields are named (at most 16)"},
        dryRunOption,
        previewOption,
        listOption};
    const auto options = parseOptions(args, specs);
    if (printedHelp(options, "pattern [OPTIONS] FILE...",
                    "Rebuilds every non-empty line from a pattern; writes NAME.qv.EXT beside each FILE.", specs, out))
        return 0;
    const LinePatternParams params{memoText(options.value("pattern")), toProgramText(options.value("prefix")),
                                   toProgramText(options.value("count"))};
    return runContentCommand(options, out, err,
                             lineCommand([params](Workspace& ws, Host& host,
                                                  FileSystem& fs) { return btnReplaceClick(params, ws, host, fs); },
                                         [params](Workspace&) { return linePatternJob(params); }));
}

int runDeleteLinesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"numbers", "LIST", "1", "delete these lines, e.g. '3,5-8'"},
        {"interval", "N:M", "2:1", "delete line M of every N lines"},
        {"keywords", "K", "", "delete lines holding one of the keywords ('a;b', '^a b^')"},
        {"empty", "", "", "delete empty lines and lines of blanks"},
        dryRunOption,
        previewOption,
        listOption};
    const auto options = parseOptions(args, specs);
    if (printedHelp(options, "delete-lines [OPTIONS] FILE...",
                    "Writes every line except the chosen ones to NAME.qv.EXT beside each FILE.", specs, out))
        return 0;
    DeleteLinesParams params;
    const std::string mode = chosenMode(options, {"numbers", "interval", "keywords", "empty"});
    params.mode = mode == "interval"   ? DeleteMode::Interval
                  : mode == "keywords" ? DeleteMode::Keywords
                  : mode == "empty"    ? DeleteMode::BlankLines
                                       : DeleteMode::LineNumbers;
    params.edtDelLineNo = toProgramText(options.value("numbers"));
    if (mode == "interval") std::tie(params.edtLines, params.edtLineNum) = intervalOf(options.value("interval"));
    params.edtDelKeys = toProgramText(options.value("keywords"));
    return runContentCommand(options, out, err,
                             lineCommand([params](Workspace& ws, Host& host,
                                                  FileSystem& fs) { return btnDelLineClick(params, ws, host, fs); },
                                         [params](Workspace&) { return deleteLinesJob(params); }));
}

int runExtractLinesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"numbers", "LIST", "1", "take these lines in this order, e.g. '3,5-8'"},
        {"interval", "N:M", "2:1", "take line M of every N lines"},
        {"keywords", "K", "", "take lines holding one of the keywords ('a;b', '^a b^')"},
        {"no-empty", "", "", "skip empty lines and lines of blanks (interval and keyword modes)"},
        dryRunOption,
        previewOption,
        listOption};
    const auto options = parseOptions(args, specs);
    if (printedHelp(options, "extract-lines [OPTIONS] FILE...",
                    "Writes only the chosen lines to NAME.qv.EXT beside each FILE.", specs, out))
        return 0;
    ExtractLinesParams params;
    const std::string mode = chosenMode(options, {"numbers", "interval", "keywords"});
    params.mode = mode == "interval"   ? ExtractMode::Interval
                  : mode == "keywords" ? ExtractMode::Keywords
                                       : ExtractMode::LineNumbers;
    params.edtGetLineNum = toProgramText(options.value("numbers"));
    if (mode == "interval") std::tie(params.edtGetLines, params.edtGetLineNo) = intervalOf(options.value("interval"));
    params.edtGetKeys = toProgramText(options.value("keywords"));
    params.chkGetNoneLine = !options.flag("no-empty");
    return runContentCommand(options, out, err,
                             lineCommand([params](Workspace& ws, Host& host,
                                                  FileSystem& fs) { return btnGetLineClick(params, ws, host, fs); },
                                         [params](Workspace&) { return extractLinesJob(params); }));
}

int runInsertLinesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{{"content", "C", "",
                                         "the new content; \\t \\r \\n, ${Filename}, ${LineStr(n)}, ${LineStr2(s)}, "
                                         "${LineRandStr()} ... allowed"},
                                        {"template", "T", "", "a template applied to the whole new content"},
                                        {"at", "K", "0", "insert after line K (0: before the first line)"},
                                        {"interval", "N:M", "2:1", "insert before line M of every N lines"},
                                        {"keywords", "K", "", "insert before every line holding one of the keywords"},
                                        dryRunOption,
                                        previewOption,
                                        listOption};
    const auto options = parseOptions(args, specs);
    if (printedHelp(options, "insert-lines [OPTIONS] FILE...",
                    "Adds new lines to each FILE; writes NAME.qv.EXT beside it.", specs, out))
        return 0;
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
    return runContentCommand(options, out, err,
                             lineCommand([params](Workspace& ws, Host& host,
                                                  FileSystem& fs) { return btnInsLineClick(params, ws, host, fs); },
                                         [params](Workspace& ws) { return insertNewLinesJob(params, ws.random); }));
}

} // namespace qv::cli
