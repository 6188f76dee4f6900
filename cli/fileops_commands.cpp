#include "cli/fileops_commands.h"

#include "cli/console_host.h"
#include "cli/console_text.h"
#include "cli/file_arguments.h"
#include "cli/options.h"
#include "fileops/change_extension.h"
#include "fileops/file_attributes.h"
#include "fileops/file_dates.h"
#include "fileops/rename.h"
#include "platform/posix_file_system.h"
#include "platform/process_paths.h"
#include "text/run_error.h"

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

} // namespace

int runRenameCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    PosixFileSystem fs;
    ConsoleHost host(out, err);
    const RenameParams params{toProgramText(options.value("template")), programFolder()};
    Workspace ws =
        workspaceOf(options, fs, host, renameReadsDates(params) ? EntryDetails::SizeAndTimes : EntryDetails::None);
    btnFilenameClick(params, ws, host, fs);
    return host.exitStatus();
}

int runExtCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    PosixFileSystem fs;
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(options, fs, host, EntryDetails::None);
    btnExtClick(ExtensionParams{toProgramText(options.value("template"))}, ws, host, fs);
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

    PosixFileSystem fs;
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(options, fs, host);
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

    PosixFileSystem fs;
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(options, fs, host);
    btnPropClick(params, ws, host, fs);
    return host.exitStatus();
}

} // namespace qv::cli
