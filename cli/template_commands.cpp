#include "cli/template_commands.h"

#include "cli/console_text.h"
#include "cli/options.h"
#include "template/evaluator.h"
#include "template/number.h"

#include <charconv>
#include <cmath>
#include <ostream>

namespace qv::cli {
namespace {

std::string formatValue(double value)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

int runEvalCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err)
{
    const auto& positional = options.positional();
    const std::string subject = positional.size() == 2 ? programText(positional[1]) : std::string();
    const std::string result = EvaluateTemplate(subject, programText(positional[0]));
    if (options.flag("raw"))
        out << result;
    else
        out << utf8Text(result) << '\n';
    return 0;
}

int runNumberCommand(const ParsedOptions& options, std::ostream& out, std::ostream&)
{
    const double value = EvaluateNumber(programText(options.positional()[0]));
    out << formatValue(value) << '\n' << truncateToInt32(value) << '\n';
    return 0;
}

} // namespace qv::cli
