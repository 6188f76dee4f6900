#include "cli/undo_command.h"

#include "cli/console_host.h"
#include "cli/console_text.h"
#include "cli/journaled_command.h"
#include "cli/plan_lines.h"
#include "operation/workspace.h"

#include <ostream>

namespace qv::cli {
namespace {

// A step as a plan line: the file as the run left it, the name it gets back
// (renames only), and ok, unchanged (nothing to take back) or why not.
void printStep(std::ostream& out, const UndoStep& step)
{
    const std::string result = step.action == UndoAction::RenameBack ? step.oldPath : std::string();
    const std::string status = step.status == UndoStatus::Ready         ? "ok"
                               : step.status == UndoStatus::NothingToDo ? "unchanged"
                                                                        : skippedStatus(undoStatusReason(step.status));
    printPlanLine(out, step.path, result, status);
}

} // namespace

int runUndoCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    ConsoleHost host(out, err);
    std::optional<PosixJournalStore> store = userJournal();
    if (!store) {
        host.showMessage(MessageKind::Error, programText("找不到撤销记录的位置：$XDG_DATA_HOME 与 $HOME 都未设置"));
        return 1;
    }
    // What is wrong with the journal goes to stderr: stdout carries the list.
    ConsoleHost reports(err, err);
    const RunHistory history = loadHistory(*store, reports);
    if (options.flag("list")) {
        for (const JournalRun& run : history.runs) out << utf8Text(runListLine(run)) << '\n';
        return 0;
    }
    PosixFileSystem fs;
    const std::optional<std::string> runId = options.given("run");
    const TakeBack back = prepareTakeBack(history, runId ? std::optional<std::string_view>(*runId) : std::nullopt, fs);
    if (back.refusal) {
        host.showMessage(MessageKind::Error, *back.refusal);
        return 1;
    }
    if (options.flag("dry-run")) {
        for (const UndoStep& step : back.plan.steps) printStep(out, step);
        return 0;
    }
    Workspace ws;
    takeBack(back, *store, fs, ws, host);
    return host.exitStatus();
}

} // namespace qv::cli
