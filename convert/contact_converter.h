#pragma once
// ${VcfTo(s)}: vCard contacts to a table of one line per contact, comma-
// separated (csv) or tab-separated (txt).
//
// Folded lines are joined first: a line beginning with a blank or a TAB
// continues the line before (vCard 3.0, 4.0), and so does the line after a
// quoted-printable value ending in "=" (vCard 2.1). Each contact then
// collects six fields from its lines, an optional "group." before the name
// ignored: N and FN (both the name), TEL of TYPE CELL (the mobile; written
// "TEL;CELL", "TEL;TYPE=CELL", "TEL;TYPE=cell,voice", ...), TEL of TYPE WORK
// (the telephone), and lines beginning with "EMAIL", "ORG" and "ADR", each
// with or without parameters. Property names are compared exactly, letter
// case significant; parameters without regard to it. A field's value is what
// follows the line's first ":" (the whole line when it has none), decoded
// from ENCODING=QUOTED-PRINTABLE and, for CHARSET=UTF-8, converted to code
// page 936; values of other charsets, or none, are taken as they stand. The
// first line of each field wins. A line starting with "END:" ends the
// contact: its row is written with every ";" removed from the values and
// missing fields empty. In the csv layout a value holding ",", a double
// quote or a line break is quoted as CSV readers expect; in the txt layout a
// TAB or line break in a value becomes a blank. Lines after the last "END:"
// give no row.

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
