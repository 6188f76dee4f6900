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

int runEvalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<OptionSpec> specs{{"raw", "", "", "print the result's code page 936 bytes unconverted"}};
    const std::string usage = "eval [--raw] TEMPLATE [SUBJECT]";
    const auto options = parseOptions(args, specs);
    if (options.helpRequested()) {
        out << helpText(usage, "Applies the template's call to SUBJECT (default: empty) and prints the result.", specs);
        return 0;
    }
    const auto& positional = options.positional();
    if (positional.empty() || positional.size() > 2) throw UsageError("usage: qorvane-cli " + usage);
    const std::string subject = positional.size() == 2 ? toProgramText(positional[1]) : std::string();
    const std::string result = EvaluateTemplate(subject, toProgramText(positional[0]));
    if (options.flag("raw"))
        out << result;
    else
        out << toConsoleText(result) << '\n';
    return 0;
}

int runNumberCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&)
{
    const std::string usage = "number TEXT";
    const auto options = parseOptions(args, {});
    if (options.helpRequested()) {
        out << helpText(usage, "Evaluates TEXT as a numeric argument; prints the value, then the truncated integer.",
                        {});
        return 0;
    }
    if (options.positional().size() != 1) throw UsageError("usage: qorvane-cli " + usage);
    const double value = EvaluateNumber(toProgramText(options.positional()[0]));
    out << formatValue(value) << '\n' << truncateToInt32(value) << '\n';
    return 0;
}

} // namespace qv::cli
