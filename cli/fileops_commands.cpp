#include "cli/fileops_commands.h"

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

// The dry run of an operation whose parameters passed `refusal`: prints the
// refusal (status 1) or the plan (status 0).
template <typename Plan>
int dryRun(const Workspace& ws, ConsoleHost& host, std::optional<Refusal> refusal, Plan plan, bool withResult,
           std::ostream& out)
{
    if (!selectionCheck(ws, host)) return 1;
    if (refusal) {
        refuse(host, std::move(*refusal));
        return 1;
    }
    printChangePlan(out, plan(), withResult);
    return 0;
}

} // namespace

int runRenameCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    JournaledCommand journaled(options);
    FileSystem& fs = journaled.fs();
    ConsoleHost host(out, err);
    RenameParams params{toProgramText(options.value("template")), programFolder(), options.flag("chains")};
    params.chkNameToUtf8 = options.flag("to-utf8");
    Workspace ws =
        workspaceOf(options, fs, host, renameReadsDates(params) ? EntryDetails::SizeAndTimes : EntryDetails::None);
    if (options.flag("dry-run"))
        return dryRun(
            ws, host, checkRenameTemplate(params),
            [&] {
                return planRenames(ws.files, renameNames(params, ws.files, fs), fs, params.chains, params.chkNameToUtf8)
                    .changes;
            },
            true, out);
    btnFilenameClick(params, ws, host, fs);
    return host.exitStatus();
}

int runExtCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    JournaledCommand journaled(options);
    FileSystem& fs = journaled.fs();
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(options, fs, host, EntryDetails::None);
    const ExtensionParams params{toProgramText(options.value("template")), options.flag("chains")};
    if (options.flag("dry-run"))
        return dryRun(
            ws, host, checkExtensionTemplate(params),
            [&] { return planRenames(ws.files, extensionNames(params, ws.files), fs, params.chains).changes; }, true,
            out);
    btnExtClick(params, ws, host, fs);
    return host.exitStatus();
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

    JournaledCommand journaled(options);
    FileSystem& fs = journaled.fs();
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(options, fs, host);
    if (options.flag("dry-run"))
        return dryRun(
            ws, host, checkDateParams(params), [&] { return planDateRun(params, ws.files, fs, currentUtcOffset()); },
            false, out);
    btnDateClick(params, ws, host, fs);
    return host.exitStatus();
}

int runAttrsCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    AttributeParams params;
    params.ckSystem = options.flag("system");
    params.ckReadonly = options.flag("readonly");
    params.ckHidden = options.flag("hidden");
    params.ckNormal = options.flag("archive") || !(params.ckSystem || params.ckReadonly || params.ckHidden);
    params.chkDirProp = options.flag("dirs");

    JournaledCommand journaled(options);
    FileSystem& fs = journaled.fs();
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(options, fs, host);
    if (options.flag("dry-run"))
        return dryRun(
            ws, host, checkAttributeParams(params), [&] { return planPropRun(params, ws.files, fs); }, false, out);
    btnPropClick(params, ws, host, fs);
    return host.exitStatus();
}

} // namespace qv::cli
