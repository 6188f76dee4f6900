#include "cli/subcommands.h"

#include "cli/console_host.h"
#include "cli/console_text.h"
#include "cli/content_run.h"
#include "cli/file_arguments.h"
#include "cli/journaled_command.h"
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

int exitStatus(const ConsoleHost& host)
{
    return host.exitStatus();
}

// What merge-keys and sync-lines write: the output file of the second
// marked FILE, the target.
std::string targetOutput(const FileList& files, std::size_t)
{
    const TwoFilePick pick = pickTwoFiles(files);
    return pick.found ? outputDiskPath(files.fullPath(pick.second)) : std::string();
}

} // namespace

int runMergeKeysCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ContentCommand command;
    command.run = [](Workspace& ws, Host& host, FileSystem& fs) { return btnSynClick({}, ws, host, fs); };
    command.resultOf = targetOutput;
    return runContentCommand(options, out, err, command);
}

int runSyncLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    const LineSyncParams params{programText(options.value("keywords"))};
    ContentCommand command;
    command.run = [params](Workspace& ws, Host& host, FileSystem& fs) { return btnLineSynClick(params, ws, host, fs); };
    command.resultOf = targetOutput;
    return runContentCommand(options, out, err, command);
}

int runStatsCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    // The results come before the closing message, as the page fills its
    // boxes before showing it.
    std::ostringstream closing;
    ConsoleHost host(closing, err);
    PosixFileSystem fs;
    Workspace ws = workspaceOf(options, fs, host);
    const std::optional<FileStats> stats = btnFileInfoClick({1}, ws, host, fs);
    if (stats) {
        out << "文件大小:" << stats->edtFileSize << '\n'
            << "总行数:" << stats->edtAllLine << '\n'
            << "空行数:" << stats->edtEmptyLine << '\n'
            << "数据行数:" << stats->edtDataLine << '\n'
            << "行最大字符数:" << stats->edtCharMax << '\n'
            << "行最小字符数:" << stats->edtCharMin << '\n'
            << "行平均字符数:" << stats->edtCharAve << '\n'
            << "统计文件名称:" << utf8Text(stats->edtFilename) << '\n';
    }
    out << closing.str();
    return exitStatus(host);
}

int runCombineCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ContentCommand command;
    command.run = [](Workspace& ws, Host& host, FileSystem& fs) { return btnFileCombineClick({}, ws, host, fs); };
    command.resultOf = [](const FileList& files, std::size_t) {
        std::string last;
        forEachMarkedRow(files, [&](std::size_t row) { last = files.fullPath(row); });
        return outputDiskPath(last);
    };
    return runContentCommand(options, out, err, command);
}

int runReplaceCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    const ContentReplaceParams params{programText(options.value("template"))};
    ContentCommand command;
    command.run = [params](Workspace& ws, Host& host, FileSystem& fs) { return btnRepContClick(params, ws, host, fs); };
    command.previewJob = [params](Workspace&, const FileSystem&) -> std::optional<ContentJob> {
        return contentReplaceJob(params);
    };
    return runContentCommand(options, out, err, command);
}

int runCharsetCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    const CharsetParams params{programText(options.value("call"))};
    ContentCommand command;
    command.run = [params](Workspace& ws, Host& host, FileSystem& fs) { return btnCharsetClick(params, ws, host, fs); };
    command.previewJob = [params](Workspace&, const FileSystem& fs) -> std::optional<ContentJob> {
        if (auto refusal = charsetRefusal(params)) {
            ContentJob refused;
            refused.check = [refusal] { return refusal; };
            return refused;
        }
        const CharsetCall call = charsetCallOf(params.edtCharset);
        if (call == CharsetCall::Other) return std::nullopt; // the run does nothing
        return charsetJob(call, fs, std::make_shared<ReplacedCharacterCounts>());
    };
    command.outputIsUtf8 = charsetCallOf(params.edtCharset) == CharsetCall::ToUtf8;
    return runContentCommand(options, out, err, command);
}

int runConvertCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    std::ostringstream dropped;
    const bool dryRun = options.flag("dry-run");
    ConsoleHost host(dryRun ? dropped : out, err);
    JournaledCommand journaled(options);
    FileSystem& fs = journaled.fs();
    Workspace ws = workspaceOf(options, fs, host);
    const ConvertParams params{programText(options.value("call"))};
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
