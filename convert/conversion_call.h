#pragma once
// The conversion call typed on the format conversion page, such as
// ${XlsTo(csv)}, and the names it gives: the new extension and the
// converted path.

#include <string>
#include <string_view>

namespace qv {

enum class Converter {
    None, // not a call, or a name outside the four
    XlsTo,
    CsvTo,
    TxtTo,
    VcfTo,
};

struct ConversionCall {
    Converter converter = Converter::None;
    std::string argument; // s of ${Name(s)}: the argument text up to its first ","
};

// Parses `call` (code page 936). Text before the first "${" and after the
// last "}" is ignored; then the "${" and the last byte are dropped, the
// name is what precedes the first "(" (compared without regard to case) and
// the argument what follows it up to the last byte. Without "${" or "(" the
// call names no converter. Any bytes are accepted.
ConversionCall parseConversionCall(std::string_view call);

// The extension a converter writes: `argument` trimmed of bytes 0-32,
// lower-cased, one leading "." removed ("  .CSV " gives "csv").
std::string newExtension(std::string_view argument);

// `sourcePath` with the extension of its file name replaced by `extension`
// ("/d/book.xls" gives "/d/book.csv"). A file name without "." other than a
// leading one gets "." and the extension appended ("/d.x/README" gives
// "/d.x/README.csv"), so the result always lies in the source's folder.
// Both are disk paths: the folder stays as written on disk, the new name is
// written in UTF-8.
std::string convertedPath(std::string_view sourcePath, std::string_view extension);

} // namespace qv
