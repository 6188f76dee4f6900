#pragma once
// ${XlsTo(s)} and ${CsvTo(s)}: workbooks and comma-separated files saved in
// another format by the spreadsheet server.
//
// The new extension chooses the format:
//   XlsTo: txt (tab-separated), csv, htm, xml (2003 XML spreadsheet)
//   CsvTo: txt (tab-separated), xls (binary workbook), htm, xml
// Text outputs are code page 936 with CR LF after every record, like every
// text this program writes. The XML spreadsheet is built here from the first
// sheet's cells, which the server hands over as UTF-8 comma-separated text.
// Each result is written to a temporary file and renamed over the converted
// path, so an interrupted run leaves no half-written file there.
//
// The server keeps at most 65,536 rows in a binary workbook and 1,048,576 in
// any other sheet, and drops the rest without a word. A comma-separated
// source's rows are therefore counted: a file with more rows than its target
// holds, or whose text output came back with fewer rows than went in, is not
// written and is listed with both numbers.

#include "convert/conversion_call.h"
#include "platform/file_system.h"
#include "platform/spreadsheet_server.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct SheetConversion {
    SheetSource from;
    SheetTarget to;
    bool buildXml = false; // `to` then gives the cells the XML is built from
};

// The conversion for `converter` (XlsTo or CsvTo) and a new extension, or
// nothing when the extension lies outside the converter's table.
std::optional<SheetConversion> sheetConversionFor(Converter converter, std::string_view extension);

// One file to convert: the source and its converted path (code page 936).
struct SheetJob {
    std::string source;
    std::string target;
};

// What became of one file: converted (reason empty) or not, and why (code
// page 936, as the closing report lists it).
struct SheetOutcome {
    bool converted = false;
    bool serverDidNotStart = false;
    bool stopped = false; // not done because the run was stopped; not listed
    std::string reason;
};

// The rows of delimited text as a sheet holds them: records cut at line
// breaks outside cells quoted with '"' (a quote opens a cell only at its
// start), not counting the empty rows (nothing but `separator`s) after the
// last row that holds a cell.
std::size_t sheetRowCount(std::string_view text, char separator);

// Converts every job through `server` in one call and writes each result to
// its converted path. A result that cannot be written is a failure with the
// write error's text as its reason; the other files go on. `keepWaiting` as
// for SpreadsheetServer::convert: once it returns false the files not done
// are stopped, and those done are still written.
std::vector<SheetOutcome> convertSheets(FileSystem& fs, const std::vector<SheetJob>& jobs,
                                        const SheetConversion& conversion, SpreadsheetServer& server,
                                        const std::function<bool()>& keepWaiting);

} // namespace qv
