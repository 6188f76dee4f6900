#pragma once
// ${TxtTo(s)}: text lines copied to a file with a new extension; for "csv"
// every TAB becomes ",".

#include "operation/host.h"
#include "platform/file_system.h"
#include "text/line_list.h"

#include <string>
#include <string_view>

namespace qv {

// The output lines for the new extension `extension`: `source` with every
// TAB replaced by "," when the extension is exactly "csv", unchanged
// otherwise. Calls host.processEvents() before each line.
text::LineList tabsToCommas(const text::LineList& source, std::string_view extension, Host& host);

// Reads `sourcePath`, converts its lines and writes them (CR LF after each)
// to the converted path (the run plans it never to be a source). Returns the
// converted path, or "" when `argument` gives no extension or one that
// text::isSafeNewName refuses (nothing is read or written). Throws RunError
// when the source cannot be read or the output cannot be written.
std::string convertText(FileSystem& fs, std::string_view sourcePath, std::string_view argument, Host& host);

} // namespace qv
