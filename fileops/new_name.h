#pragma once
// A file's name as rename and change extension see it (base name and
// extension), and the planned rename to a computed name.

#include "fileops/change_plan.h"

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The name without its extension: the bytes before the last "." (the whole
// name when it has none). ".profile" has the base "" and the extension
// ".profile". The extension itself is typeOf(name) (filelist/file_list.h).
std::string_view baseNameOf(std::string_view name);

class FileList;

// The longest name Linux file systems take, in bytes of its UTF-8 form on disk.
constexpr std::size_t longestDiskName = 255;

// Why `name` cannot be given to a file in place, code page 936, or nothing
// when it can: text::isSafeNewName (text/output_path.h) refuses it, or its UTF-8 form on disk is longer
// than longestDiskName bytes.
std::optional<std::string> invalidNameReason(std::string_view name);

// The planned rename of the entry in `row` to `newName` in its own folder,
// the new name written in UTF-8 on disk: Unchanged when the name stays the
// same (same text; with `toUtf8`, a same-text name written in code page 936
// on disk is planned as Recode, a change of its encoding alone), Invalid with
// the reason when invalidNameReason refuses the name, otherwise Ok. Whether
// the name is free is the rename plan's question (fileops/rename_plan.h).
PlannedChange planRename(const FileList& files, std::size_t row, const std::string& newName, bool toUtf8 = false);

} // namespace qv
