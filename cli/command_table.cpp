#include "cli/command_table.h"

#include "cli/content_run.h"
#include "cli/file_arguments.h"
#include "cli/journaled_command.h"
#include "cli/search_command.h"
#include "cli/subcommands.h"
#include "cli/template_commands.h"
#include "cli/undo_command.h"

#include <algorithm>
#include <ostream>

namespace qv::cli {
namespace {

const OptionSpec fileDryRunOption{"dry-run", "", "",
                                  "change nothing; print SOURCE<TAB>RESULT<TAB>STATUS for every FILE, in order"};
const OptionSpec chainsOption{"chains", "", "",
                              "allow swaps and shifts: a name held by a FILE that moves away is no conflict"};
const OptionSpec dirsOption{"dirs", "", "", "also change the folder of each file"};

// A subcommand that takes `minArguments` to `maxArguments` arguments and is
// not journaled.
Command command(std::string name, std::string usage, std::string summary, std::string help,
                std::vector<OptionSpec> options, std::size_t minArguments, std::size_t maxArguments, CommandHandler run)
{
    return {std::move(name),
            std::move(usage),
            std::move(summary),
            std::move(help),
            std::move(options),
            minArguments,
            maxArguments,
            run,
            {}};
}

// A subcommand over FILE arguments (or --list PATH) that changes or creates
// files; its runs go into the undo journal as `journalName`.
Command fileCommand(std::string name, std::string usage, std::string summary, std::string help,
                    std::vector<OptionSpec> options, CommandHandler run, std::string journalName)
{
    Command made = command(std::move(name), std::move(usage), std::move(summary), std::move(help), std::move(options),
                           0, anyCount, run);
    made.journalName = std::move(journalName);
    return made;
}

// A line operation over FILE arguments, written to NAME.qv.EXT beside each;
// `options` are followed by --dry-run, --preview and --list.
Command lineCommand(std::string name, std::string summary, std::string help, std::vector<OptionSpec> options,
                    CommandHandler run, std::string journalName)
{
    std::string usage = name + " [OPTIONS] FILE...";
    options.insert(options.end(), {dryRunOption, previewOption, listOption});
    return fileCommand(std::move(name), std::move(usage), std::move(summary), std::move(help), std::move(options), run,
                       std::move(journalName));
}

std::vector<Command> buildCommands()
{
    const OptionSpec lines{"lines", "text|all|number:N|keyword:K", "text",
                           "lines with text, all lines, line N, lines holding K"};
    return {
        command("eval", "eval [--raw] TEMPLATE [SUBJECT]", "apply a template to a subject text",
                "Applies the template's call to SUBJECT (default: empty) and prints the result.",
                {{"raw", "", "", "print the result's code page 936 bytes unconverted"}}, 1, 2, runEvalCommand),
        command("number", "number TEXT", "evaluate a numeric argument",
                "Evaluates TEXT as a numeric argument; prints the value, then the truncated integer.", {}, 1, 1,
                runNumberCommand),
        command(
            "search",
            "search [--folder \"A;B\"] [--types \"*.txt;*.ini\"] [--size MIN:MAX] [--date KIND:FROM:TO] [--no-sub] "
            "[--sort COLUMN[:desc]] [--show-encoding]",
            "list files of folders by type masks and filters",
            "Searches folders for files and prints one entry a line: name, folder, size, created, modified and type, "
            "separated by TAB.",
            {{"folder", "\"A;B\"", "the current folder", "folders to search, separated by ';'"},
             {"types", "\"*.txt;*.ini\"", "*.txt", "name masks, separated by ';', searched in this order"},
             {"size", "MIN:MAX", "off", "only files of MIN to MAX bytes, both included"},
             {"date", "modify|create|access:YYYY-MM-DD:YYYY-MM-DD", "off",
              "only files whose chosen local date lies in the range, both days included"},
             {"no-sub", "", "", "do not search subfolders (default: subfolders are searched)"},
             {"show-encoding", "", "", "add a seventh column: how the name is written on disk, utf-8 or gbk"},
             {"sort", "COLUMN[:desc]", "off",
              "sort the list as a click on a column title does; COLUMN is name, folder, size, created, modified or "
              "type"}},
            0, 0, runSearchCommand),
        fileCommand(
            "rename", "rename [--template T] [--to-utf8] [--chains] [--dry-run] [--list PATH] FILE...",
            "rename files by a template",
            "Gives every FILE a new base name; the extension stays. Never replaces an existing file.",
            {{"template", "T", "", "the rename template, e.g. '${AddLeft(x_)}', '${Sn(1,3)}', '${File(names.txt)}'"},
             {"to-utf8", "", "",
              "names written in GBK on disk get the same name in UTF-8; the template may be left out"},
             chainsOption,
             fileDryRunOption,
             listOption},
            runRenameCommand, "更改文件名称"),
        fileCommand("ext", "ext [--template T] [--chains] [--dry-run] [--list PATH] FILE...", "change file extensions",
                    "Gives every FILE a new extension. Never replaces an existing file.",
                    {{"template", "T", "", "the new extension; ${Ext} stands for the old one, e.g. '${Ext}.bak'"},
                     chainsOption,
                     fileDryRunOption,
                     listOption},
                    runExtCommand, "更改文件扩展名"),
        fileCommand(
            "dates",
            "dates [--modify DATE] [--create DATE] [--access DATE] [--time HH:MM:SS] [--dirs] [--dry-run] FILE...",
            "set file dates and times", "Sets the dates (and times) of every FILE. The times are local times.",
            {{"modify", "DATE", "today", "set the last-write date (YYYY-MM-DD)"},
             {"create", "DATE", "today", "set the creation date (YYYY-MM-DD)"},
             {"access", "DATE", "today", "set the last-access date (YYYY-MM-DD)"},
             {"time", "HH:MM:SS", "now", "set the time of day (HH:MM:SS or HH:MM:SS.mmm); alone: of all three times"},
             dirsOption,
             fileDryRunOption,
             listOption},
            runDatesCommand, "更改文件或目录日期"),
        fileCommand("attrs", "attrs [--archive] [--system] [--readonly] [--hidden] [--dirs] [--dry-run] FILE...",
                    "set file attributes",
                    "Sets the attribute bits of every FILE; bits not given are cleared. Stored in user.DOSATTRIB.",
                    {{"archive", "", "", "set the archive bit (the only bit set when none of the four is given)"},
                     {"system", "", "", "set the system bit"},
                     {"readonly", "", "", "set the read-only bit (also removes the write permission)"},
                     {"hidden", "", "", "set the hidden bit"},
                     dirsOption,
                     fileDryRunOption,
                     listOption},
                    runAttrsCommand, "更改文件或目录属性"),
        lineCommand("cut", "cut a piece out of lines by a template",
                    "Cuts a piece out of lines; writes NAME.qv.EXT beside each FILE.",
                    {{"template", "T", "", "the cut template, e.g. '${GetMid(3,8)}'"},
                     {"keep", "piece|rest", "piece", "keep the cut-out piece, or the rest of the line"},
                     lines},
                    runCutCommand, "行内容截取字符"),
        lineCommand("insert", "rewrite lines through a template",
                    "Rewrites lines through a template; writes NAME.qv.EXT beside each FILE.",
                    {{"template", "T", "",
                      "the insert template, e.g. '${AddLeft(${Sn(1,3)}-)}'; ${Fullname}, ${Filename} allowed"},
                     lines},
                    runInsertCommand, "行内容插入字符"),
        lineCommand(
            "pattern", "rebuild lines from a field pattern",
            "Rebuilds every non-empty line from a pattern; writes NAME.qv.EXT beside each FILE.",
            {{"pattern", "P", "", "the line pattern; $1, $2 ... stand for the fields; a line break gives two lines"},
             {"prefix", "S", "$", "the parameter prefix"},
             {"count", "N", "3", "how many fields are named (at most 16)"}},
            runPatternCommand, "行模式替换字符"),
        lineCommand("delete-lines", "delete lines by number, interval, keyword or blankness",
                    "Writes every line except the chosen ones to NAME.qv.EXT beside each FILE.",
                    {{"numbers", "LIST", "1", "delete these lines, e.g. '3,5-8'"},
                     {"interval", "N:M", "2:1", "delete line M of every N lines"},
                     {"keywords", "K", "", "delete lines holding one of the keywords ('a;b', '^a b^')"},
                     {"empty", "", "", "delete empty lines and lines of blanks"}},
                    runDeleteLinesCommand, "内容按行删除"),
        lineCommand("extract-lines", "extract lines by number, interval or keyword",
                    "Writes only the chosen lines to NAME.qv.EXT beside each FILE.",
                    {{"numbers", "LIST", "1", "take these lines in this order, e.g. '3,5-8'"},
                     {"interval", "N:M", "2:1", "take line M of every N lines"},
                     {"keywords", "K", "", "take lines holding one of the keywords ('a;b', '^a b^')"},
                     {"no-empty", "", "", "skip empty lines and lines of blanks (interval and keyword modes)"}},
                    runExtractLinesCommand, "内容按行提取"),
        lineCommand(
            "insert-lines", "insert new lines at a number, an interval or keyword lines",
            "Adds new lines to each FILE; writes NAME.qv.EXT beside it.",
            {{"content", "C", "",
              "the new content; \\t \\r \\n, ${Filename}, ${LineStr(n)}, ${LineStr2(s)}, ${LineRandStr()} ... allowed"},
             {"template", "T", "", "a template applied to the whole new content"},
             {"at", "K", "0", "insert after line K (0: before the first line)"},
             {"interval", "N:M", "2:1", "insert before line M of every N lines"},
             {"keywords", "K", "", "insert before every line holding one of the keywords"}},
            runInsertLinesCommand, "内容插入新行"),
        command("stats", "stats FILE", "count the lines of one file", "Prints the line counts of FILE.", {}, 1, 1,
                runStatsCommand),
        fileCommand(
            "merge-keys", "merge-keys [--list PATH] SOURCE TARGET", "merge KeyName=Value lines of SOURCE into TARGET",
            "Carries the KeyName=Value values of SOURCE into the lines of TARGET with the same key; writes TARGET's "
            "output file. Files after the second are ignored.",
            {dryRunOption, listOption}, runMergeKeysCommand, "合并关键字内容"),
        fileCommand(
            "sync-lines", "sync-lines [--keywords K] [--list PATH] SOURCE TARGET",
            "copy keyword lines of SOURCE into TARGET",
            "Every SOURCE line holding a keyword replaces the TARGET line with the same number; writes TARGET's output "
            "file. Files after the second are ignored.",
            {{"keywords", "K", "", "keywords, separated by \";\" or blanks"}, dryRunOption, listOption},
            runSyncLinesCommand, "按关键字同步行"),
        fileCommand("combine", "combine [--dry-run] [--list PATH] [FILE...]",
                    "combine files into the last one's output file",
                    "Writes the lines of every FILE, in the order given, to the output file of the last.",
                    {dryRunOption, listOption}, runCombineCommand, "文件内容合并"),
        fileCommand(
            "replace", "replace --template T [--list PATH] [FILE...]", "apply a template to whole files",
            "Applies the template to each FILE's whole text while it holds the ${Pos(...)} keyword.",
            {{"template", "T", "", "the template applied to each whole file"}, dryRunOption, previewOption, listOption},
            runReplaceCommand, "文件内容替换"),
        fileCommand("charset", "charset --call C [--list PATH] [FILE...]", "convert between GBK and UTF-8",
                    "Converts each FILE between code page 936 (GBK) and UTF-8.",
                    {{"call", "C", "", "${ToUtf8()} or ${ToAnsi()}"}, dryRunOption, previewOption, listOption},
                    runCharsetCommand, "文件内容编码转换"),
        fileCommand(
            "convert", "convert --call C [--list PATH] [FILE...]",
            "convert spreadsheets, CSV, text and vCard files to other formats",
            "Converts each FILE to a file beside it with the new extension; spreadsheets go through LibreOffice "
            "(soffice).",
            {{"call", "C", "", "${XlsTo(s)}, ${CsvTo(s)}, ${TxtTo(s)} or ${VcfTo(s)}, s the new extension"},
             {"dry-run", "", "",
              "convert nothing; print SOURCE, RESULT and STATUS for every FILE (no server is started)"},
             listOption},
            runConvertCommand, "文件格式转换"),
        command("undo", "undo [--list] [--run ID] [--dry-run]", "take back a run",
                "Takes back the newest run that is not undone yet (or run ID), newest change first; never overwrites a "
                "file. Runs are recorded in $XDG_DATA_HOME/qorvane/journal.",
                {{"list", "", "",
                  "print the runs, newest first: ID, TIME, OPERATION, FILES, STATE (done, interrupted, undone)"},
                 {"run", "ID", "the newest", "take back this run"},
                 {"dry-run", "", "",
                  "change nothing; print SOURCE<TAB>RESULT<TAB>STATUS for every change it would take back"}},
                0, 0, runUndoCommand),
    };
}

} // namespace

const std::vector<Command>& commands()
{
    static const std::vector<Command> table = buildCommands();
    return table;
}

const Command* findCommand(std::string_view name)
{
    const auto found =
        std::find_if(commands().begin(), commands().end(), [&](const Command& c) { return c.name == name; });
    return found == commands().end() ? nullptr : &*found;
}

int runCommand(const Command& command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::vector<OptionSpec> specs = command.options;
    if (!command.journalName.empty()) specs.push_back(noJournalOption);
    ParsedOptions options = parseOptions(args, specs);
    options.setJournalName(command.journalName);
    if (options.helpRequested()) {
        out << helpText(command.usage, command.help, specs);
        return 0;
    }
    const std::size_t count = options.positional().size();
    if (count < command.minArguments || count > command.maxArguments)
        throw UsageError("usage: qorvane-cli " + command.usage);
    return command.run(options, out, err);
}

} // namespace qv::cli
