#pragma once
// A file's name as rename and change extension see it (base name and
// extension), and the check that keeps a computed name inside its folder.

#include "platform/file_system.h"

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The name without its extension: the bytes before the last "." (the whole
// name when it has none). ".profile" has the base "" and the extension
// ".profile". The extension itself is typeOf(name) (filelist/file_list.h).
std::string_view baseNameOf(std::string_view name);

// True when `name` may be given to a file in place: not empty, not "." or
// "..", and without "/". Any other name would move the file into another
// folder or name no file at all, so the operations refuse it for that file.
// ("/" is never the second byte of a code page 936 character, so a byte
// search is exact.)
bool isSafeNewName(std::string_view name);

struct Workspace;
class FileSystem;
struct PlannedChange;

// The planned rename of the entry in `row` to `newName` in its own folder,
// the new name written in UTF-8: nothing when the name stays the same (with
// `toUtf8`, a same-text name written in code page 936 on disk is planned as
// a change that only recodes it, recodesOnly); left alone, with the reason,
// when isSafeNewName refuses the name or it has no exact UTF-8 form.
std::optional<PlannedChange> planRename(const Workspace& ws, std::size_t row, const std::string& newName,
                                        bool toUtf8 = false);

// Renames a planned file without replacing anything (the new name in UTF-8
// in the folder as written on disk) and, when that worked and the row still
// holds that file, rewrites its name cell.
FsStatus applyRename(const PlannedChange& change, Workspace& ws, FileSystem& fs);

} // namespace qv
