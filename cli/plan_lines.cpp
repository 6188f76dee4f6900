#include "cli/plan_lines.h"

#include "cli/console_text.h"
#include "platform/disk_name.h"

#include <ostream>

namespace qv::cli {
namespace {

std::string oneField(std::string_view diskPath)
{
    std::string out;
    for (const char c : utf8Text(shownPath(diskPath))) {
        if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

} // namespace

void printPlanLine(std::ostream& out, std::string_view source, std::string_view result, std::string_view status)
{
    out << oneField(source) << '\t' << oneField(result) << '\t' << status << '\n';
}

std::string writtenStatus(bool replaces)
{
    return replaces ? "replace" : "ok";
}

std::string skippedStatus(std::string_view reason)
{
    return "skipped: " + utf8Text(reason);
}

std::string planStatusText(const PlannedChange& change)
{
    switch (change.status) {
    case PlanStatus::Ok: return "ok";
    case PlanStatus::Unchanged: return "unchanged";
    case PlanStatus::Exists: return "exists";
    case PlanStatus::Duplicate: return "duplicate";
    case PlanStatus::Chain: return "chain";
    case PlanStatus::Invalid: return "invalid";
    case PlanStatus::Recode: return "recode";
    case PlanStatus::Skipped: break;
    }
    return skippedStatus(change.reason);
}

void printChangePlan(std::ostream& out, const ChangePlan& plan, bool withResult)
{
    for (const PlannedChange& change : plan)
        printPlanLine(out, change.path, withResult ? diskPathBeside(change.path, change.newName) : std::string(),
                      planStatusText(change));
}

} // namespace qv::cli
