#pragma once
// Names of files the program writes or renames: the name of a content job's
// output file, and the check that keeps a computed name in its folder.

#include <string>
#include <string_view>

namespace qv::text {

// The output file beside `sourcePath`: ".qv" inserted before the last "." of
// the file name, the part after the last "/" ("a.b.txt" gives "a.b.qv.txt",
// "/x/a.txt" gives "/x/a.qv.txt"). A file name without "." gets ".qv"
// appended ("dir.d/README" gives "dir.d/README.qv"), so the output always
// lands in the source's own folder, never in a folder whose name holds a ".".
// A name that starts with its only "." follows the same rule: ".bashrc" gives
// ".qv.bashrc", still a hidden-style name beside the source.
// Neither "." nor "/" can be the second byte of a double-byte character, so
// the search looks at single bytes.
std::string outputPath(std::string_view sourcePath);

// True when `name` may be given to a file in place: not empty, not "." or
// "..", without "/" and without NUL. Any other name would move the file into
// another folder or name no file at all (a NUL cuts the name short on disk),
// so the operations refuse it; format conversion applies the same rule to a
// new extension. ("/" is never the second byte of a code page 936
// character, so a byte search is exact.)
bool isSafeNewName(std::string_view name);

} // namespace qv::text
