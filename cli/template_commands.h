#pragma once
// The subcommands over the template language: eval and number.

#include <iosfwd>
#include <string>
#include <vector>

namespace qv::cli {

// qorvane-cli eval TEMPLATE [SUBJECT]: prints the evaluated template.
int runEvalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// qorvane-cli number TEXT: prints the value, then the truncated integer.
int runNumberCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qv::cli
