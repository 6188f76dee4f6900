#include "cli/dispatcher.h"

#include "cli/console_text.h"
#include "cli/content_commands.h"
#include "cli/fileops_commands.h"
#include "cli/line_commands.h"
#include "cli/options.h"
#include "cli/search_command.h"
#include "cli/template_commands.h"
#include "text/run_error.h"

#include <algorithm>
#include <new>
#include <ostream>

namespace qv::cli {
namespace {

using CommandFunction = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct Command {
    const char* name;
    const char* summary;
    CommandFunction run;
};

const std::vector<Command>& commands()
{
    static const std::vector<Command> table{
        {"eval", "apply a template to a subject text", runEvalCommand},
        {"number", "evaluate a numeric argument", runNumberCommand},
        {"search", "list files of folders by type masks and filters", runSearchCommand},
        {"rename", "rename files by a template", runRenameCommand},
        {"ext", "change file extensions", runExtCommand},
        {"dates", "set file dates and times", runDatesCommand},
        {"attrs", "set file attributes", runAttrsCommand},
        {"cut", "cut a piece out of lines by a template", runCutCommand},
        {"insert", "rewrite lines through a template", runInsertCommand},
        {"pattern", "rebuild lines from a field pattern", runPatternCommand},
        {"delete-lines", "delete lines by number, interval, keyword or blankness", runDeleteLinesCommand},
        {"extract-lines", "extract lines by number, interval or keyword", runExtractLinesCommand},
        {"insert-lines", "insert new lines at a number, an interval or keyword lines", runInsertLinesCommand},
        {"stats", "count the lines of one file", runStatsCommand},
        {"merge-keys", "merge KeyName=Value lines of SOURCE into TARGET", runMergeKeysCommand},
        {"sync-lines", "copy keyword lines of SOURCE into TARGET", runSyncLinesCommand},
        {"combine", "combine files into the last one's output file", runCombineCommand},
        {"replace", "apply a template to whole files", runReplaceCommand},
        {"charset", "convert between GBK and UTF-8", runCharsetCommand},
        {"convert", "convert spreadsheets, CSV, text and vCard files to other formats", runConvertCommand},
    };
    return table;
}

void printOverview(std::ostream& out)
{
    out << "usage: qorvane-cli SUBCOMMAND [OPTIONS] [FILE...]\n\nsubcommands:\n";
    for (const auto& command : commands()) {
        std::string name = command.name;
        name.resize(16, ' ');
        out << "  " << name << command.summary << '\n';
    }
    out << "\n'qorvane-cli SUBCOMMAND --help' lists a subcommand's options.\n";
}

} // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty() || args[0] == "--help" || args[0] == "help") {
        printOverview(args.empty() ? err : out);
        return args.empty() ? exitRefused : exitDone;
    }
    const auto command =
        std::find_if(commands().begin(), commands().end(), [&](const Command& c) { return args[0] == c.name; });
    if (command == commands().end()) {
        err << "qorvane-cli: unknown subcommand '" << args[0] << "'\n";
        printOverview(err);
        return exitRefused;
    }
    try {
        return command->run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    } catch (const UsageError& e) {
        err << "qorvane-cli " << command->name << ": " << e.what() << '\n';
        return exitRefused;
    } catch (const RunError& e) {
        err << toConsoleText(e.what()) << '\n';
        return exitRunError;
    } catch (const std::bad_alloc&) {
        err << "内存不足，处理已中止！\n";
        return exitRunError;
    } catch (...) {
        // Anything else is a fault of the program; its what() text (a library
        // class name, say) would mean nothing to the user.
        err << "程序内部错误，处理已中止！\n";
        return exitRunError;
    }
}

} // namespace qv::cli
