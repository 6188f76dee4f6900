#pragma once
// ${VcfTo(s)}: vCard contacts to a table of one line per contact, comma-
// separated (csv) or tab-separated (txt).
//
// Each contact collects six fields from the lines whose first bytes match,
// exactly and with letter case significant, one of "N:", "FN:" (both the
// name), "TEL;CELL", "TEL;WORK", "EMAIL", "ORG" and "ADR"; a field's value is
// what follows the line's first ":" (the whole line when it has none). The
// first line of each field wins. A line starting with "END:" ends the
// contact: its row is written with every ";" removed from the values and
// missing fields empty. Values are written as they stand, without quoting.
// Lines after the last "END:" give no row.

#include "operation/host.h"
#include "platform/file_system.h"
#include "text/line_list.h"

#include <string>
#include <string_view>

namespace qv {

// True for the two extensions the contact converter writes, "csv" and "txt".
bool isContactTableExtension(std::string_view extension);

// The table for `vcard`: the header line, then one row per contact. The
// extension must be "csv" or "txt". Calls host.processEvents() before each
// line. Any bytes are accepted.
text::LineList contactTable(const text::LineList& vcard, std::string_view extension, Host& host);

// Reads `sourcePath` and writes its table to the converted path. Returns the
// converted path, or "" when `argument` gives neither csv nor txt (nothing is
// read or written). Throws RunError when the source cannot be read or the
// output cannot be written.
std::string convertContacts(FileSystem& fs, std::string_view sourcePath, std::string_view argument, Host& host);

} // namespace qv
