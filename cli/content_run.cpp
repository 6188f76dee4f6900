#include "cli/content_run.h"

#include "cli/console_host.h"
#include "cli/console_text.h"
#include "cli/file_arguments.h"
#include "cli/journaled_command.h"
#include "cli/plan_lines.h"
#include "content/content_preview.h"
#include "operation/dry_run_file_system.h"
#include "platform/posix_file_system.h"
#include "text/output_path.h"

#include <charconv>
#include <ostream>
#include <sstream>

namespace qv::cli {

const OptionSpec dryRunOption{"dry-run", "", "", "change nothing; print SOURCE, RESULT and STATUS for every FILE"};
const OptionSpec previewOption{"preview", "N", "", "write nothing; print the first N lines of the first FILE's output"};

namespace {

std::size_t previewLineCount(const std::string& value)
{
    std::size_t count = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
    if (error != std::errc{} || end != value.data() + value.size() || count == 0)
        throw UsageError("--preview takes a number of lines above 0, not '" + value + "'");
    return count;
}

std::string resultOf(const ContentCommand& command, const FileList& files, std::size_t row)
{
    return command.resultOf ? command.resultOf(files, row) : outputDiskPath(files.fullPath(row));
}

void printPlan(std::ostream& out, const Workspace& ws, const ContentCommand& command, const OperationResult& result,
               const DryRunFileSystem& dry)
{
    forEachMarkedRow(ws.files, [&](std::size_t row) {
        const std::string source = ws.files.fullPath(row);
        const std::string target = resultOf(command, ws.files, row);
        for (const SkippedFile& skipped : result.skipped)
            if (skipped.path == shownPath(source))
                return printPlanLine(out, source, target, skippedStatus(skipped.reason));
        if (const DryRunFileSystem::Output* written = dry.output(target))
            printPlanLine(out, source, target, writtenStatus(written->replaces));
    });
}

int printPreview(std::ostream& out, std::ostream& err, Workspace& ws, ConsoleHost& host, const FileSystem& fs,
                 const ContentCommand& command, std::size_t lines)
{
    if (!selectionCheck(ws, host)) return 1;
    std::size_t first = 0;
    forEachMarkedRow(ws.files, [&](std::size_t row) {
        if (first == 0) first = row;
    });
    const std::optional<ContentJob> job = command.previewJob(ws, fs);
    if (!job) return 0;
    const ContentPreview preview = previewContentJob(*job, ws.files, first, fs, lines);
    if (preview.refusal) {
        host.showMessage(MessageKind::Error, preview.refusal->message);
        return 1;
    }
    if (!preview.skipReason.empty()) {
        err << utf8Text(shownPath(preview.outputPath)) << ": " << skippedStatus(preview.skipReason) << '\n';
        return 0;
    }
    for (const std::string& line : preview.lines) out << (command.outputIsUtf8 ? line : utf8Text(line)) << '\n';
    return 0;
}

} // namespace

int runContentCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err, const ContentCommand& command)
{
    const bool dryRun = options.flag("dry-run");
    const std::optional<std::string> preview = options.given("preview");
    if (dryRun && preview) throw UsageError("give only one of --dry-run and --preview");
    const std::size_t previewLines = preview ? previewLineCount(*preview) : 0;
    // A dry run and a preview print only their own lines on stdout; the
    // run's closing message goes nowhere, its refusals to stderr as usual.
    std::ostringstream closing;
    ConsoleHost host(dryRun || preview ? closing : out, err);
    JournaledCommand journaled(options);
    FileSystem& fs = journaled.fs();
    Workspace ws = workspaceOf(options, fs, host);
    if (preview) return printPreview(out, err, ws, host, fs, command, previewLines);
    if (!dryRun) {
        command.run(ws, host, fs);
        return host.exitStatus();
    }
    DryRunFileSystem dry(fs);
    const OperationResult result = command.run(ws, host, dry);
    if (result.ran()) printPlan(out, ws, command, result, dry);
    return host.refused() ? 1 : 0;
}

} // namespace qv::cli
