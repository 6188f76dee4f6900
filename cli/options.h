#pragma once
// A small option parser for the subcommands: "--name value", "--flag",
// "--name=value" and positional arguments, with a help text that lists every
// option and its default.

#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace qv::cli {

struct OptionSpec {
    std::string name;         // without the leading "--"
    std::string valueName;    // empty for a flag
    std::string defaultValue; // shown in the help text
    std::string help;
};

// Wrong usage: an unknown option, a missing value, a missing argument.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ParsedOptions {
public:
    bool has(const std::string& name) const { return values_.count(name) || flags_.count(name); }
    bool flag(const std::string& name) const { return flags_.count(name) > 0; }
    // The option's value, or its default when it was not given.
    std::string value(const std::string& name) const;
    std::optional<std::string> given(const std::string& name) const;
    const std::vector<std::string>& positional() const { return positional_; }
    bool helpRequested() const { return help_; }

private:
    friend ParsedOptions parseOptions(const std::vector<std::string>&, const std::vector<OptionSpec>&);
    std::map<std::string, std::string> values_;
    std::map<std::string, std::string> defaults_;
    std::set<std::string> flags_;
    std::vector<std::string> positional_;
    bool help_ = false;
};

// Throws UsageError for an unknown option or an option without its value.
// "--" ends the options; everything after it is positional.
ParsedOptions parseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs);

std::string helpText(const std::string& usage, const std::string& summary, const std::vector<OptionSpec>& specs);

} // namespace qv::cli
