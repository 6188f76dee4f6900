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

int exitStatus(const ConsoleHost& host)
{
    return host.exitStatus();
}

} // namespace

int runMergeKeysCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ConsoleHost host(out, err);
    PosixFileSystem fs;
    Workspace ws = workspaceOf(options, fs, host);
    btnSynClick({}, ws, host, fs);
    return exitStatus(host);
}

int runSyncLinesCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ConsoleHost host(out, err);
    PosixFileSystem fs;
    Workspace ws = workspaceOf(options, fs, host);
    btnLineSynClick({toProgramText(options.value("keywords"))}, ws, host, fs);
    return exitStatus(host);
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
            << "统计文件名称:" << toConsoleText(stats->edtFilename) << '\n';
    }
    out << closing.str();
    return exitStatus(host);
}

int runCombineCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ConsoleHost host(out, err);
    PosixFileSystem fs;
    Workspace ws = workspaceOf(options, fs, host);
    btnFileCombineClick({}, ws, host, fs);
    return exitStatus(host);
}

int runReplaceCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ConsoleHost host(out, err);
    PosixFileSystem fs;
    Workspace ws = workspaceOf(options, fs, host);
    btnRepContClick({toProgramText(options.value("template"))}, ws, host, fs);
    return exitStatus(host);
}

int runCharsetCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ConsoleHost host(out, err);
    PosixFileSystem fs;
    Workspace ws = workspaceOf(options, fs, host);
    btnCharsetClick({toProgramText(options.value("call"))}, ws, host, fs);
    return exitStatus(host);
}

int runConvertCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ConsoleHost host(out, err);
    PosixFileSystem fs;
    Workspace ws = workspaceOf(options, fs, host);
    LibreOfficeServer server;
    btnConvertClick({toProgramText(options.value("call"))}, ws, host, fs, server);
    return exitStatus(host);
}

} // namespace qv::cli
