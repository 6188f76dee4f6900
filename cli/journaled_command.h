#pragma once
// The file system a subcommand changes files through: every change is
// journaled ahead so that `qorvane-cli undo` can take the run back, unless
// --no-journal was given or no journal location is known ($XDG_DATA_HOME
// and $HOME both unset).

#include "cli/options.h"
#include "platform/journal_store.h"
#include "platform/posix_file_system.h"
#include "undo/undo_run.h"

#include <optional>
#include <string>

namespace qv::cli {

// --no-journal, which every subcommand takes.
extern const OptionSpec noJournalOption;

class JournaledCommand {
public:
    // The run is journaled under options.journalName().
    explicit JournaledCommand(const ParsedOptions& options);

    FileSystem& fs() { return *fs_; }

private:
    PosixFileSystem posix_;
    std::optional<PosixJournalStore> store_;
    std::optional<JournaledRun> run_;
    FileSystem* fs_ = &posix_;
};

// The journal of this user; nothing when no location is known.
std::optional<PosixJournalStore> userJournal();

} // namespace qv::cli
