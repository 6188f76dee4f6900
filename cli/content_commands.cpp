#include "cli/content_commands.h"

#include "cli/console_host.h"
#include "cli/console_text.h"
#include "cli/content_run.h"
#include "cli/file_arguments.h"
#include "cli/options.h"
#include "cli/plan_lines.h"
#include "content/charset_convert.h"
#include "content/content_replace.h"
#include "content/file_combine.h"
#include "content/file_stats.h"
#include "content/key_merge.h"
#include "content/line_sync.h"
#include "convert/format_conversion.h"
#include "platform/libreoffice_server.h"
#include "platform/posix_file_system.h"
#include "text/output_path.h"

#include <ostream>
#include <sstream>

namespace qv::cli {
namespace {

// Parses `args`; prints the help text and returns nothing when --help was
// given.
std::optional<ParsedOptions> parse(const std::vector<std::string>& args, const std::string& usage,
                                   const std::string& summary, const std::vector<OptionSpec>& specs, std::ostream& out)
{
    ParsedOptions options = parseOptions(args, specs);
    if (!options.helpRequested()) return options;
    out << helpText(usage, summary, specs);
    return std::nullopt;
}

// Exactly `count` positional arguments, or a usage error.
void requirePositional(const ParsedOptions& options, std::size_t count, const std::string& usage)
{
    if (options.positional().size() != count) throw UsageError("usage: qorvane-cli " + usage);
}

int exitStatus(const ConsoleHost& host)
{
    return host.refused() ? 1 : 0;
}

// What merge-keys and sync-lines write: the output file of the second
// marked FILE, the target.
std::string targetOutput(const FileList& files, std::size_t)
{
    const TwoFilePick pick = pickTwoFiles(files);
    return pick.found ? text::outputPath(files.fullPath(pick.second)) : std::string();
}

} // namespace

int runMergeKeysCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::string usage = "merge-keys [--list PATH] SOURCE TARGET";
    const auto options = parse(args, usage,
                               "Carries the KeyName=Value values of SOURCE into the lines of TARGET with the same key; "
                               "writes TARGET's output file. Files after the second are ignored.",
                               {dryRunOption, listOption}, out);
    if (!options) return 0;
    ContentCommand command;
    command.run = [](Workspace& ws, Host& host, FileSystem& fs) { return btnSynClick({}, ws, host, fs); };
    command.resultOf = targetOutput;
    return runContentCommand(*options, out, err, command);
}

int runSyncLinesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"keywords", "K", "", "keywords, separated by \";\" or blanks"}, dryRunOption, listOption};
    const std::string usage = "sync-lines [--keywords K] [--list PATH] SOURCE TARGET";
    const auto options = parse(args, usage,
                               "Every SOURCE line holding a keyword replaces the TARGET line with the same number; "
                               "writes TARGET's output file. Files after the second are ignored.",
                               specs, out);
    if (!options) return 0;
    const LineSyncParams params{toProgramText(options->value("keywords"))};
    ContentCommand command;
    command.run = [params](Workspace& ws, Host& host, FileSystem& fs) { return btnLineSynClick(params, ws, host, fs); };
    command.resultOf = targetOutput;
    return runContentCommand(*options, out, err, command);
}

int runStatsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::string usage = "stats FILE";
    const auto options = parse(args, usage, "Prints the line counts of FILE.", {}, out);
    if (!options) return 0;
    requirePositional(*options, 1, usage);
    // The results come before the closing message, as the page fills its
    // boxes before showing it.
    std::ostringstream closing;
    ConsoleHost host(closing, err);
    PosixFileSystem fs;
    Workspace ws = workspaceOf(*options, fs, host);
    const std::optional<FileStats> stats = btnFileInfoClick({1}, ws, host, fs);
    if (stats) {
        out << "文件大小:" << stats->edtFileSize << '\n'
            << "总行数:" << stats->edtAllLine << '\n'
            << "空行数:" << stats->edtEmptyLine << '\n'
            << "数据行数:" << stats->edtDataLine << '\n'
            << "行最大字符数:" << stats->edtCharMax << '\n'
            << "行最小字符数:" << stats->edtCharMin << '\n'
            << "行平均字符数:" << stats->edtCharAve << '\n'
            << "统计文件名称:" << toConsoleText(stats->edtFilename) << '\n';
    }
    out << closing.str();
    return exitStatus(host);
}

int runCombineCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{dryRunOption, listOption};
    const std::string usage = "combine [--dry-run] [--list PATH] [FILE...]";
    const auto options = parse(
        args, usage, "Writes the lines of every FILE, in the order given, to the output file of the last.", specs, out);
    if (!options) return 0;
    ContentCommand command;
    command.run = [](Workspace& ws, Host& host, FileSystem& fs) { return btnFileCombineClick({}, ws, host, fs); };
    command.resultOf = [](const FileList& files, std::size_t) {
        std::string last;
        forEachMarkedRow(files, [&](std::size_t row) { last = files.fullPath(row); });
        return text::outputPath(last);
    };
    return runContentCommand(*options, out, err, command);
}

int runReplaceCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"template", "T", "", "the template applied to each whole file"}, dryRunOption, previewOption, listOption};
    const std::string usage = "replace --template T [--list PATH] [FILE...]";
    const auto options =
        parse(args, usage, "Applies the template to each FILE's whole text while it holds the ${Pos(...)} keyword.",
              specs, out);
    if (!options) return 0;
    const ContentReplaceParams params{toProgramText(options->value("template"))};
    ContentCommand command;
    command.run = [params](Workspace& ws, Host& host, FileSystem& fs) { return btnRepContClick(params, ws, host, fs); };
    command.previewJob = [params](Workspace&) -> std::optional<ContentJob> { return contentReplaceJob(params); };
    return runContentCommand(*options, out, err, command);
}

int runCharsetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"call", "C", "", "${ToUtf8()} or ${ToAnsi()}"}, dryRunOption, previewOption, listOption};
    const std::string usage = "charset --call C [--list PATH] [FILE...]";
    const auto options = parse(args, usage, "Converts each FILE between code page 936 (GBK) and UTF-8.", specs, out);
    if (!options) return 0;
    const CharsetParams params{toProgramText(options->value("call"))};
    ContentCommand command;
    command.run = [params](Workspace& ws, Host& host, FileSystem& fs) { return btnCharsetClick(params, ws, host, fs); };
    command.previewJob = [params](Workspace&) -> std::optional<ContentJob> {
        if (auto refusal = charsetRefusal(params)) {
            ContentJob refused;
            refused.check = [refusal] { return refusal; };
            return refused;
        }
        const CharsetCall call = charsetCallOf(params.edtCharset);
        if (call == CharsetCall::Other) return std::nullopt; // the run does nothing
        return charsetJob(call);
    };
    command.outputIsUtf8 = charsetCallOf(params.edtCharset) == CharsetCall::ToUtf8;
    return runContentCommand(*options, out, err, command);
}

int runConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"call", "C", "", "${XlsTo(s)}, ${CsvTo(s)}, ${TxtTo(s)} or ${VcfTo(s)}, s the new extension"},
        {"dry-run", "", "", "convert nothing; print SOURCE, RESULT and STATUS for every FILE (no server is started)"},
        listOption};
    const std::string usage = "convert --call C [--list PATH] [FILE...]";
    const auto options = parse(args, usage,
                               "Converts each FILE to a file beside it with the new extension; spreadsheets go "
                               "through LibreOffice (soffice).",
                               specs, out);
    if (!options) return 0;
    std::ostringstream dropped;
    const bool dryRun = options->flag("dry-run");
    ConsoleHost host(dryRun ? dropped : out, err);
    PosixFileSystem fs;
    Workspace ws = workspaceOf(*options, fs, host);
    const ConvertParams params{toProgramText(options->value("call"))};
    if (dryRun) {
        if (const auto steps = checkedConversionPlan(params, ws, host))
            for (const ConversionStep& step : *steps)
                printPlanLine(out, step.source, step.target,
                              step.skipped() ? skippedStatus(step.skipReason) : writtenStatus(fs.exists(step.target)));
        return exitStatus(host);
    }
    LibreOfficeServer server;
    btnConvertClick(params, ws, host, fs, server);
    return exitStatus(host);
}

} // namespace qv::cli
