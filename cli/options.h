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
    // The options given with a value, and the flags given.
    const std::map<std::string, std::string>& givenValues() const { return values_; }
    const std::set<std::string>& givenFlags() const { return flags_; }
    bool helpRequested() const { return help_; }
    // The name the run of this subcommand goes into the undo journal under
    // (UTF-8); empty when it is not journaled.
    const std::string& journalName() const { return journalName_; }
    void setJournalName(std::string name) { journalName_ = std::move(name); }

private:
    friend ParsedOptions parseOptions(const std::vector<std::string>&, const std::vector<OptionSpec>&);
    std::map<std::string, std::string> values_;
    std::map<std::string, std::string> defaults_;
    std::set<std::string> flags_;
    std::vector<std::string> positional_;
    bool help_ = false;
    std::string journalName_;
};

// Throws UsageError for an unknown option or an option without its value.
// "--" ends the options; everything after it is positional.
ParsedOptions parseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs);

std::string helpText(const std::string& usage, const std::string& summary, const std::vector<OptionSpec>& specs);

} // namespace qv::cli
