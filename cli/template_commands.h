#pragma once
// The subcommands over the template language: eval and number.

#include "cli/options.h"

#include <iosfwd>

namespace qv::cli {

// qorvane-cli eval TEMPLATE [SUBJECT]: prints the evaluated template.
int runEvalCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

// qorvane-cli number TEXT: prints the value, then the truncated integer.
int runNumberCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err);

} // namespace qv::cli
