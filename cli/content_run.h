#pragma once
// How the content subcommands run: for real, as a dry run (--dry-run: the
// whole run over a file system that writes nothing, then one plan line per
// FILE) or as a preview (--preview N: the first N lines of the first FILE's
// output, made by the run's own transform).

#include "cli/options.h"
#include "content/content_job.h"
#include "operation/workspace.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace qv::cli {

extern const OptionSpec dryRunOption;
extern const OptionSpec previewOption;

struct ContentCommand {
    // The run, through whatever host and file system it is given.
    std::function<OperationResult(Workspace&, Host&, FileSystem&)> run;
    // The disk path the run writes for the FILE of `row`; by default its
    // output file beside it.
    std::function<std::string(const FileList& files, std::size_t row)> resultOf;
    // The run's job for --preview; nothing when the run would do nothing.
    // Empty for a subcommand without --preview.
    std::function<std::optional<ContentJob>(Workspace&, const FileSystem&)> previewJob;
    // The output is UTF-8 already (charset ${ToUtf8()}): printed as it is.
    bool outputIsUtf8 = false;
};

// Runs `command` over the FILE arguments of `options` as --dry-run and
// --preview ask; the exit status: 0 done, 1 refused.
int runContentCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err,
                      const ContentCommand& command);

} // namespace qv::cli
