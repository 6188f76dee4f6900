#pragma once
// The name of a content job's output file.

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

} // namespace qv::text
