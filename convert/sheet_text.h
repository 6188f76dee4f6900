#pragma once
// The delimited text a spreadsheet server writes, read back: records that
// may hold line breaks inside quoted cells, and the cells of a record. Used
// to give text outputs this program's CR LF line ends and to build the XML
// spreadsheet format from a sheet's cells.

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The records of `text`: it is cut at each LF (a CR before it dropped) that
// lies outside a cell quoted with '"'. A final line break adds no record.
// Neither '"' nor LF can be the second byte of a double-byte character, so
// code page 936 and UTF-8 text are both read byte by byte. Any bytes are
// accepted; an unclosed quote runs to the end.
std::vector<std::string_view> delimitedRecords(std::string_view text);

// `text` with every record followed by CR LF; line breaks inside quoted
// cells stay as they are.
std::string withCrLfRecords(std::string_view text);

// The cells of one record separated by `separator`, quotes removed and a
// doubled '"' inside a quoted cell read as one.
std::vector<std::string> delimitedCells(std::string_view record, char separator);

// The XML spreadsheet (the 2003 "SpreadsheetML" format) of one sheet named
// "Sheet1" holding the cells of `utf8Csv`, comma-separated UTF-8 text with
// raw cell values. A cell that reads as a decimal number is a Number, any
// other a String; empty cells are left out. Characters XML 1.0 cannot hold
// (control bytes other than TAB, LF and CR) are dropped.
std::string spreadsheetXml(std::string_view utf8Csv);

} // namespace qv
