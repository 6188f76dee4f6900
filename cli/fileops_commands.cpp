#include "cli/subcommands.h"

#include "cli/console_host.h"
#include "cli/console_text.h"
#include "cli/file_arguments.h"
#include "cli/journaled_command.h"
#include "cli/options.h"
#include "cli/plan_lines.h"
#include "fileops/change_extension.h"
#include "fileops/file_attributes.h"
#include "fileops/file_dates.h"
#include "fileops/rename.h"
#include "platform/posix_file_system.h"
#include "platform/process_paths.h"
#include "text/run_error.h"

#include <functional>
#include <optional>
#include <ostream>

namespace qv::cli {
namespace {

// The folder of this executable, code page 936; "" when unknown.
std::string programFolder()
{
    const std::string folder = executableFolder();
    if (folder.empty()) return {};
    return toProgramName(folder).value_or(std::string());
}

// A date or time option's value; a text that does not read is wrong usage.
template <typename Parse> auto parseOption(const std::string& name, const std::string& value, Parse parse)
{
    try {
        return parse(value);
    } catch (const RunError& e) {
        throw UsageError("--" + name + ": " + e.what());
    }
}

// A file operation as its subcommand runs it: the details its entries need,
// the check its parameters must pass before a dry run, the plan the dry run
// prints (with RESULT or without) and the run itself.
struct FileOperation {
    EntryDetails details = EntryDetails::SizeAndTimes;
    std::function<std::optional<Refusal>()> check;
    std::function<ChangePlan(const Workspace&, FileSystem&)> plan;
    bool planHasResult = false;
    std::function<void(Workspace&, Host&, FileSystem&)> run;
};

// Runs `operation` over the FILE arguments, journaled; with --dry-run prints
// the refusal (status 1) or the plan (status 0) instead.
int runFileOperation(const ParsedOptions& options, std::ostream& out, std::ostream& err, const FileOperation& operation)
{
    JournaledCommand journaled(options);
    FileSystem& fs = journaled.fs();
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(options, fs, host, operation.details);
    if (options.flag("dry-run")) {
        if (!selectionCheck(ws, host)) return 1;
        if (std::optional<Refusal> refusal = operation.check()) {
            refuse(host, std::move(*refusal));
            return 1;
        }
        printChangePlan(out, operation.plan(ws, fs), operation.planHasResult);
        return 0;
    }
    operation.run(ws, host, fs);
    return host.exitStatus();
}

} // namespace

int runRenameCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    RenameParams params{programText(options.value("template")), programFolder(), options.flag("chains")};
    params.chkNameToUtf8 = options.flag("to-utf8");
    return runFileOperation(
        options, out, err,
        {.details = renameReadsDates(params) ? EntryDetails::SizeAndTimes : EntryDetails::None,
         .check = [&] { return checkRenameTemplate(params); },
         .plan =
             [&](const Workspace& ws, FileSystem& fs) {
                 return planRenames(ws.files, renameNames(params, ws.files, fs), fs, params.chains,
                                    params.chkNameToUtf8)
                     .changes;
             },
         .planHasResult = true,
         .run = [&](Workspace& ws, Host& host, FileSystem& fs) { btnFilenameClick(params, ws, host, fs); }});
}

int runExtCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    const ExtensionParams params{programText(options.value("template")), options.flag("chains")};
    return runFileOperation(
        options, out, err,
        {.details = EntryDetails::None,
         .check = [&] { return checkExtensionTemplate(params); },
         .plan =
             [&](const Workspace& ws, FileSystem& fs) {
                 return planRenames(ws.files, extensionNames(params, ws.files), fs, params.chains).changes;
             },
         .planHasResult = true,
         .run = [&](Workspace& ws, Host& host, FileSystem& fs) { btnExtClick(params, ws, host, fs); }});
}

int runDatesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    DateParams params;
    const auto date = [&](const char* name, bool& ticked, CalendarDate& value) {
        if (const auto given = options.given(name)) {
            ticked = true;
            value = parseOption(name, *given, parseDate);
        }
    };
    date("modify", params.ckModify, params.dtModify);
    date("create", params.ckCreate, params.dtCreate);
    date("access", params.ckAccess, params.dtAccess);
    if (const auto given = options.given("time")) {
        params.chkTime = true;
        params.dtpTime = parseOption("time", *given, parseTimeOfDay);
    }
    params.chkDirDate = options.flag("dirs");
    return runFileOperation(
        options, out, err,
        {.check = [&] { return checkDateParams(params); },
         .plan = [&](const Workspace& ws,
                     FileSystem& fs) { return planDateRun(params, ws.files, fs, currentUtcOffset()); },
         .run = [&](Workspace& ws, Host& host, FileSystem& fs) { btnDateClick(params, ws, host, fs); }});
}

int runAttrsCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    AttributeParams params;
    params.ckSystem = options.flag("system");
    params.ckReadonly = options.flag("readonly");
    params.ckHidden = options.flag("hidden");
    params.ckNormal = options.flag("archive") || !(params.ckSystem || params.ckReadonly || params.ckHidden);
    params.chkDirProp = options.flag("dirs");
    return runFileOperation(
        options, out, err,
        {.check = [&] { return checkAttributeParams(params); },
         .plan = [&](const Workspace& ws, FileSystem& fs) { return planPropRun(params, ws.files, fs); },
         .run = [&](Workspace& ws, Host& host, FileSystem& fs) { btnPropClick(params, ws, host, fs); }});
}

} // namespace qv::cli
