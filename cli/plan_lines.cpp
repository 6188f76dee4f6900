#include "cli/plan_lines.h"

#include "cli/console_text.h"

#include <ostream>

namespace qv::cli {

void printPlanLine(std::ostream& out, std::string_view source, std::string_view result, std::string_view status)
{
    out << toConsoleText(source) << '\t' << toConsoleText(result) << '\t' << status << '\n';
}

std::string writtenStatus(bool replaces)
{
    return replaces ? "replace" : "ok";
}

std::string skippedStatus(std::string_view reason)
{
    return "skipped: " + toConsoleText(reason);
}

} // namespace qv::cli
