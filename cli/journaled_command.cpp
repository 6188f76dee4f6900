#include "cli/journaled_command.h"

#include "cli/console_text.h"

namespace qv::cli {

const OptionSpec noJournalOption{"no-journal", "", "", "do not record the run for undo"};

namespace {

// The options given, as the journal keeps a run's parameters; FILE
// arguments are counted, not listed (a run may have thousands).
std::vector<RunParameter> parametersOf(const ParsedOptions& options)
{
    std::vector<RunParameter> out;
    for (const auto& [name, value] : options.givenValues()) out.push_back({name, programText(value)});
    for (const std::string& flag : options.givenFlags()) out.push_back({flag, ""});
    out.push_back({"FILE", std::to_string(options.positional().size())});
    return out;
}

} // namespace

std::optional<PosixJournalStore> userJournal()
{
    const std::optional<std::string> path = defaultJournalPath();
    if (!path) return std::nullopt;
    return std::optional<PosixJournalStore>(std::in_place, *path);
}

JournaledCommand::JournaledCommand(const ParsedOptions& options)
{
    if (options.journalName().empty() || options.flag("no-journal")) return;
    const std::optional<std::string> path = defaultJournalPath();
    if (!path) return;
    store_.emplace(*path);
    run_.emplace(*store_, programText(options.journalName()), parametersOf(options));
    fs_ = &run_->fileSystem(posix_);
}

} // namespace qv::cli
