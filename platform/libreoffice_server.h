#pragma once
// The spreadsheet server on Linux: LibreOffice Calc, started headless as
// `soffice --convert-to` (package libreoffice-calc-nogui on Debian).
//
// Each convert() call copies the readable sources into a private temporary
// folder under short ASCII names, then runs soffice over them in as few
// starts as it can: one per input filter and per 100 files. Every start uses
// a throw-away profile (-env:UserInstallation) in that folder whose settings
// keep documents from loading linked or remote content and running macros,
// --norestore, an output folder of its own and a time limit after which its
// whole process group is killed. A file counts as converted only when its output file
// exists: the exit status of soffice says nothing about single files. A start
// that times out is retried file by file, so one file that hangs the server
// costs only its own result. A stop ends the start's process group and no
// further start follows. The folder is removed before convert() returns.
//
// Cost: a start takes about three seconds before the first file; each small
// file adds a fraction of a second.

#include "platform/spreadsheet_server.h"

#include <chrono>
#include <string>

namespace qv {

class LibreOfficeServer final : public SpreadsheetServer {
public:
    struct Limits {
        std::chrono::milliseconds perStart{std::chrono::seconds(90)};
        std::chrono::milliseconds perFile{std::chrono::seconds(20)};
    };

    LibreOfficeServer();
    // `program` is looked up on PATH when it holds no "/".
    LibreOfficeServer(std::string program, Limits limits);

    std::vector<SheetResult> convert(const std::vector<std::string>& sources, SheetSource from, SheetTarget to,
                                     const std::function<bool()>& keepWaiting) override;

private:
    std::string program_;
    Limits limits_;
};

// The soffice argument that saves in `target`, as "<extension>:<filter>"
// with the filter's options: for the text targets the cell and text
// delimiters, the character set as LibreOffice's own encoding number (61 is
// code page 936, 76 UTF-8; a name such as "GBK" is ignored), quoting only
// where a cell needs it, and cells as shown or as raw values.
std::string libreOfficeExportFilter(SheetTarget target);

} // namespace qv
