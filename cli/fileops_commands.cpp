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

int runRenameCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"template", "T", "", "the rename template, e.g. '${AddLeft(x_)}', '${Sn(1,3)}', '${File(names.txt)}'"},
        {"to-utf8", "", "", "names written in GBK on disk get the same name in UTF-8; the template may be left out"},
        listOption};
    const auto options = parseOptions(args, specs);
    if (printedHelp(options, "rename [--template T] [--to-utf8] [--list PATH] FILE...",
                    "Gives every FILE a new base name; the extension stays. Never replaces an existing file.", specs,
                    out))
        return 0;
    PosixFileSystem fs;
    ConsoleHost host(out, err);
    RenameParams params{toProgramText(options.value("template")), programFolder()};
    params.chkNameToUtf8 = options.flag("to-utf8");
    Workspace ws =
        workspaceOf(options, fs, host, renameReadsDates(params) ? EntryDetails::SizeAndTimes : EntryDetails::None);
    btnFilenameClick(params, ws, host, fs);
    return host.refused() ? 1 : 0;
}

int runExtCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"template", "T", "", "the new extension; ${Ext} stands for the old one, e.g. '${Ext}.bak'"}, listOption};
    const auto options = parseOptions(args, specs);
    if (printedHelp(options, "ext [--template T] [--list PATH] FILE...",
                    "Gives every FILE a new extension. Never replaces an existing file.", specs, out))
        return 0;
    PosixFileSystem fs;
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(options, fs, host, EntryDetails::None);
    btnExtClick(ExtensionParams{toProgramText(options.value("template"))}, ws, host, fs);
    return host.refused() ? 1 : 0;
}

int runDatesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"modify", "DATE", "today", "set the last-write date (YYYY-MM-DD)"},
        {"create", "DATE", "today", "set the creation date (YYYY-MM-DD)"},
        {"access", "DATE", "today", "set the last-access date (YYYY-MM-DD)"},
        {"time", "HH:MM:SS", "now", "set the time of day (HH:MM:SS or HH:MM:SS.mmm); alone: of all three times"},
        {"dirs", "", "", "also change the folder of each file"},
        listOption};
    const auto options = parseOptions(args, specs);
    if (printedHelp(options, "dates [--modify DATE] [--create DATE] [--access DATE] [--time HH:MM:SS] [--dirs] FILE...",
                    "Sets the dates (and times) of every FILE. The times are local times.", specs, out))
        return 0;
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
    return host.refused() ? 1 : 0;
}

int runAttrsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"archive", "", "", "set the archive bit (the only bit set when none of the four is given)"},
        {"system", "", "", "set the system bit"},
        {"readonly", "", "", "set the read-only bit (also removes the write permission)"},
        {"hidden", "", "", "set the hidden bit"},
        {"dirs", "", "", "also change the folder of each file"},
        listOption};
    const auto options = parseOptions(args, specs);
    if (printedHelp(options, "attrs [--archive] [--system] [--readonly] [--hidden] [--dirs] FILE...",
                    "Sets the attribute bits of every FILE; bits not given are cleared. Stored in user.DOSATTRIB.",
                    specs, out))
        return 0;
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
    return host.refused() ? 1 : 0;
}

} // namespace qv::cli
