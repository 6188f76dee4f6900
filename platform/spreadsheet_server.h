#pragma once
// The spreadsheet server: an outside program that opens workbooks and saves
// them in another file format. The program never reads or writes the
// workbook formats itself; it names the kind of source and the format it
// wants and receives the bytes of each saved file.
//
// Paths are code page 936 byte strings, as the file list holds them. The
// real implementation (LibreOfficeServer) drives LibreOffice Calc headless;
// tests also use scripted fakes.

#include <functional>
#include <string>
#include <vector>

namespace qv {

// What the sources are.
enum class SheetSource {
    Workbook,           // a workbook file (binary or zipped spreadsheet formats)
    CommaSeparatedText, // comma-separated text in code page 936
};

// The format to save in.
enum class SheetTarget {
    Workbook97,         // the binary workbook format of ".xls"
    CommaSeparatedText, // "," between cells, code page 936, cells as shown
    TabSeparatedText,   // TAB between cells, code page 936, cells as shown
    Html,               // an HTML page holding the first sheet's table
    CommaSeparatedUtf8, // "," between cells, UTF-8, raw cell values (not as shown)
};

struct SheetResult {
    enum class Status {
        Converted,         // `bytes` holds the saved file
        Unreadable,        // the source could not be read (missing, not a regular file, bad name)
        NotASpreadsheet,   // the server could not open or save it
        TimedOut,          // the server did not finish in its time limit
        ServerDidNotStart, // the server is not installed or could not start
        Stopped,           // the caller stopped the server before this file was done
    };
    Status status = Status::NotASpreadsheet;
    std::string bytes;
};

class SpreadsheetServer {
public:
    virtual ~SpreadsheetServer() = default;

    // Converts every file of `sources` and returns one result per source, in
    // the same order; each file is judged by its own output. Text targets
    // come as the server writes them (line ends not normalised). Calls
    // `keepWaiting` every ~50 ms while the server works; when it returns
    // false the server is ended, and every file not yet done is Stopped.
    // Never throws for a file's failure; the sources are only read.
    virtual std::vector<SheetResult> convert(const std::vector<std::string>& sources, SheetSource from, SheetTarget to,
                                             const std::function<bool()>& keepWaiting) = 0;
};

} // namespace qv
