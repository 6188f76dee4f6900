#include "cli/dispatcher.h"

#include "cli/command_table.h"
#include "cli/console_text.h"
#include "text/run_error.h"

#include <new>
#include <ostream>

namespace qv::cli {
namespace {

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
    const Command* command = findCommand(args[0]);
    if (!command) {
        err << "qorvane-cli: unknown subcommand '" << args[0] << "'\n";
        printOverview(err);
        return exitRefused;
    }
    try {
        return runCommand(*command, std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    } catch (const UsageError& e) {
        err << "qorvane-cli " << command->name << ": " << e.what() << '\n';
        return exitRefused;
    } catch (const RunError& e) {
        err << utf8Text(e.what()) << '\n';
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
