#pragma once
// A file's name as rename and change extension see it (base name and
// extension), and the planned rename to a computed name.

#include "platform/file_system.h"

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The name without its extension: the bytes before the last "." (the whole
// name when it has none). ".profile" has the base "" and the extension
// ".profile". The extension itself is typeOf(name) (filelist/file_list.h).
std::string_view baseNameOf(std::string_view name);

struct Workspace;
class FileSystem;
struct PlannedChange;

// The planned rename of the entry in `row` to `newName` in its own folder:
// nothing when the name stays the same; left alone, with the reason, when
// text::isSafeNewName (text/output_path.h) refuses the name.
std::optional<PlannedChange> planRename(const Workspace& ws, std::size_t row, const std::string& newName);

// Renames a planned file without replacing anything and, when that worked
// and the row still holds that file, rewrites its name cell.
FsStatus applyRename(const PlannedChange& change, Workspace& ws, FileSystem& fs);

} // namespace qv
