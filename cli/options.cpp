#include "cli/options.h"

#include <algorithm>
#include <ostream>

namespace qv::cli {

std::string ParsedOptions::value(const std::string& name) const
{
    if (auto it = values_.find(name); it != values_.end()) return it->second;
    if (auto it = defaults_.find(name); it != defaults_.end()) return it->second;
    return {};
}

std::optional<std::string> ParsedOptions::given(const std::string& name) const
{
    if (auto it = values_.find(name); it != values_.end()) return it->second;
    return std::nullopt;
}

ParsedOptions parseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs)
{
    ParsedOptions parsed;
    for (const auto& spec : specs)
        if (!spec.valueName.empty()) parsed.defaults_[spec.name] = spec.defaultValue;

    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            parsed.positional_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            parsed.help_ = true;
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        const auto spec = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec& s) { return s.name == name; });
        if (spec == specs.end()) throw UsageError("unknown option --" + name);
        if (spec->valueName.empty()) {
            if (inlineValue) throw UsageError("option --" + name + " takes no value");
            parsed.flags_.insert(name);
        } else if (inlineValue) {
            parsed.values_[name] = *inlineValue;
        } else {
            if (i + 1 >= args.size()) throw UsageError("option --" + name + " needs a value");
            parsed.values_[name] = args[++i];
        }
    }
    return parsed;
}

std::string helpText(const std::string& usage, const std::string& summary, const std::vector<OptionSpec>& specs)
{
    std::string text = "usage: qorvane-cli " + usage + "\n" + summary + "\n";
    if (!specs.empty()) text += "\noptions:\n";
    for (const auto& spec : specs) {
        std::string left = "  --" + spec.name + (spec.valueName.empty() ? "" : " " + spec.valueName);
        if (left.size() < 28)
            left.resize(28, ' ');
        else
            left += "  ";
        text += left + spec.help;
        if (!spec.valueName.empty())
            text += " (default: " + (spec.defaultValue.empty() ? "empty" : spec.defaultValue) + ")";
        text += "\n";
    }
    text += "  --help                    show this help\n";
    return text;
}

} // namespace qv::cli
