#include "convert/text_converter.h"

#include "convert/conversion_call.h"
#include "text/output_path.h"

#include <algorithm>

namespace qv {

text::LineList tabsToCommas(const text::LineList& source, std::string_view extension, Host& host)
{
    const bool toCsv = extension == "csv";
    text::LineList output;
    output.reserve(source.size(), source.byteCount());
    std::string line;
    for (const std::string_view sourceLine : source) {
        host.processEvents();
        line.assign(sourceLine);
        // TAB (9) is never the second byte of a double-byte character.
        if (toCsv) std::replace(line.begin(), line.end(), '\t', ',');
        output.append(line);
    }
    return output;
}

std::string convertText(FileSystem& fs, std::string_view sourcePath, std::string_view argument, Host& host)
{
    const std::string extension = newExtension(argument);
    if (!text::isSafeNewName(extension)) return {};
    const std::string target = convertedPath(sourcePath, extension);
    fs.writeLineList(target, tabsToCommas(fs.readLineList(sourcePath), extension, host));
    return target;
}

} // namespace qv
