#pragma once
// The plan of a rename or change-extension run: every marked file's new
// name, whether it gets it and, if not, why; and the order the moves are made
// in. The window's preview column, the command line's --dry-run and the run
// itself all come from this one plan, so a preview cannot promise what the
// run will not do.
//
// Planning reads the disk (is a name taken?) and changes nothing. The rules:
//   - a file whose new name has the same bytes is Unchanged; a name that is
//     no valid file name is Invalid (fileops/new_name.h);
//   - a new name taken by a file that stays (outside the run, or a file of
//     the run that is left alone) is Exists;
//   - of two files of the run that would get the same name, the later one is
//     a Duplicate;
//   - without chains, files are renamed in display order, each only if its
//     name is free at that moment, as the run has always done: a name held
//     by a file of the run that moves away later is a Chain, left alone;
//   - with chains, such a name is no conflict: the moves are ordered so that
//     each name is free when it is taken (a shift 1..5 -> 2..6 moves 5 first)
//     and a cycle (a swap, a three-way rotation) parks its first file under a
//     temporary name in the same folder, temporaryName(), moves the others
//     and gives the parked file its name last.
// Nothing is ever replaced: every move is renameNoReplace, so a name taken
// between planning and moving leaves its file alone. A run stopped or killed
// part way leaves every file under its old name, its new name or the
// temporary name.
//
// On a case-insensitive folder (found by asking the file system whether two
// spellings of one name of the run are one entry), names that differ only in
// ASCII letter case are one name, and a case-only change is free.
//
// Cost: a hash lookup per file, one existence test per new name not held by
// a file of the run, one probe per folder; O(files) memory.

#include "filelist/file_list.h"
#include "fileops/change_plan.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv {

class FileSystem;
class Host;
struct Workspace;

// A group of moves made together, without a stop between them.
struct RenameUnit {
    std::vector<std::size_t> changes; // indices into RenamePlan::changes, in the order they move
    // The first file moves through a temporary name: it is parked first and
    // given its new name after the others have moved.
    bool cycle = false;
};

struct RenamePlan {
    ChangePlan changes;            // one per marked file, in display order
    std::vector<RenameUnit> units; // the files that move, in the order they move
};

// The new full name (base and extension) of the marked grid row `row`, the
// `ordinal`-th marked row (from 0); nothing when this row and every later
// row keep their names (a name list that has ended).
using NewNameOf = std::function<std::optional<std::string>(std::size_t row, std::int64_t ordinal)>;

// Plans the marked rows of `files` a few at a time, so that a window can
// spread the work over several turns of its event loop; the run plans all
// rows at once with the same calls.
class RenamePlanBuilder {
public:
    // With `toUtf8`, a name that keeps its text but is written in code page
    // 936 on disk is planned to be written in UTF-8 (Recode).
    RenamePlanBuilder(const FileList& files, NewNameOf newNameOf, bool toUtf8 = false);

    // Computes the new names of up to `rows` more grid rows; false once the
    // last row is done. Throws what newNameOf throws.
    bool planRows(std::size_t rows);
    // Settles the names as described at the top. Call once, after planRows
    // gave false.
    RenamePlan finish(const FileSystem& fs, bool chains);

private:
    const FileList& files_;
    NewNameOf newNameOf_;
    ChangePlan changes_;
    std::size_t nextRow_ = 1;
    std::int64_t ordinal_ = 0;
    bool listEnded_ = false;
    bool toUtf8_ = false;
};

// The whole plan in one call.
RenamePlan planRenames(const FileList& files, const NewNameOf& newNameOf, const FileSystem& fs, bool chains,
                       bool toUtf8 = false);

// Settles `changes` (display order; those still Ok are the candidates) as
// described at the top and orders their moves.
RenamePlan settleRenames(ChangePlan changes, const FileSystem& fs, bool chains);

// The temporary name of the `attempt`-th parked file of process `pid`:
// ".qv-swap-<pid>-<attempt>". Visible in a listing as one of ours, so that
// a file left under it by a killed run can be found and named back.
std::string temporaryName(int pid, int attempt);

// Makes the moves of `plan` unit by unit (see change_plan.h for the tally and
// the closing message); each moved file's name cell is rewritten when its
// row still holds it. A stop takes effect between units.
OperationResult applyRenamePlan(const RenamePlan& plan, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
