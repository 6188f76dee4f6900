#include "cli/content_commands.h"

#include "cli/console_host.h"
#include "cli/console_text.h"
#include "cli/file_arguments.h"
#include "cli/options.h"
#include "content/charset_convert.h"
#include "content/content_replace.h"
#include "content/file_combine.h"
#include "content/file_stats.h"
#include "content/key_merge.h"
#include "content/line_sync.h"
#include "convert/format_conversion.h"
#include "platform/libreoffice_server.h"
#include "platform/posix_file_system.h"

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
    return host.exitStatus();
}

} // namespace

int runMergeKeysCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::string usage = "merge-keys [--list PATH] SOURCE TARGET";
    const auto options = parse(args, usage,
                               "Carries the KeyName=Value values of SOURCE into the lines of TARGET with the same key; "
                               "writes TARGET's output file. Files after the second are ignored.",
                               {listOption}, out);
    if (!options) return 0;
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(*options, PosixFileSystem(), host);
    btnSynClick({}, ws, host);
    return exitStatus(host);
}

int runSyncLinesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{{"keywords", "K", "", "keywords, separated by \";\" or blanks"}, listOption};
    const std::string usage = "sync-lines [--keywords K] [--list PATH] SOURCE TARGET";
    const auto options = parse(args, usage,
                               "Every SOURCE line holding a keyword replaces the TARGET line with the same number; "
                               "writes TARGET's output file. Files after the second are ignored.",
                               specs, out);
    if (!options) return 0;
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(*options, PosixFileSystem(), host);
    btnLineSynClick({toProgramText(options->value("keywords"))}, ws, host);
    return exitStatus(host);
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
    Workspace ws = workspaceOf(*options, PosixFileSystem(), host);
    const std::optional<FileStats> stats = btnFileInfoClick({1}, ws, host);
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
    const std::vector<OptionSpec> specs{listOption};
    const std::string usage = "combine [--list PATH] [FILE...]";
    const auto options = parse(
        args, usage, "Writes the lines of every FILE, in the order given, to the output file of the last.", specs, out);
    if (!options) return 0;
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(*options, PosixFileSystem(), host);
    btnFileCombineClick({}, ws, host);
    return exitStatus(host);
}

int runReplaceCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{{"template", "T", "", "the template applied to each whole file"}, listOption};
    const std::string usage = "replace --template T [--list PATH] [FILE...]";
    const auto options =
        parse(args, usage, "Applies the template to each FILE's whole text while it holds the ${Pos(...)} keyword.",
              specs, out);
    if (!options) return 0;
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(*options, PosixFileSystem(), host);
    btnRepContClick({toProgramText(options->value("template"))}, ws, host);
    return exitStatus(host);
}

int runCharsetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{{"call", "C", "", "${ToUtf8()} or ${ToAnsi()}"}, listOption};
    const std::string usage = "charset --call C [--list PATH] [FILE...]";
    const auto options = parse(args, usage, "Converts each FILE between code page 936 (GBK) and UTF-8.", specs, out);
    if (!options) return 0;
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(*options, PosixFileSystem(), host);
    btnCharsetClick({toProgramText(options->value("call"))}, ws, host);
    return exitStatus(host);
}

int runConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{
        {"call", "C", "", "${XlsTo(s)}, ${CsvTo(s)}, ${TxtTo(s)} or ${VcfTo(s)}, s the new extension"}, listOption};
    const std::string usage = "convert --call C [--list PATH] [FILE...]";
    const auto options = parse(args, usage,
                               "Converts each FILE to a file beside it with the new extension; spreadsheets go "
                               "through LibreOffice (soffice).",
                               specs, out);
    if (!options) return 0;
    ConsoleHost host(out, err);
    Workspace ws = workspaceOf(*options, PosixFileSystem(), host);
    LibreOfficeServer server;
    btnConvertClick({toProgramText(options->value("call"))}, ws, host, server);
    return exitStatus(host);
}

} // namespace qv::cli
