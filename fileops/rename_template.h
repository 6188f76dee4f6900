#pragma once
// The parts of a rename template that the rename operation handles itself,
// before the template evaluator sees the rest: the list files of
// ${file(name)} and ${file2(name)} and the lines of a replacement list. The
// serial number ${sn(start,width)} is template/file_variables.h's.
//
// Every function here takes the template already trimmed and lower-cased,
// as the rename operation reads it; positions and lengths count bytes.

#include "template/file_variables.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The file name inside the first `opener` ("${file(" or "${file2(") through
// the first "}" after it, without the opener and the closing ")}". It is
// found in the lower-cased template and cut from `typed`, the trimmed
// template as the user typed it (the same bytes before lower-casing), so the
// name keeps its letter case: file names are case-sensitive here. Nothing
// when the opener is absent; "" when no "}" follows it.
std::optional<std::string> listFileName(std::string_view loweredTemplate, std::string_view typed,
                                        std::string_view opener);

// One line of a replacement list split at its separator: the first TAB, or
// else the first ";", or else the first ":", or else the first space; both
// sides trimmed. Nothing when the line holds none of them.
struct Replacement {
    std::string_view oldText;
    std::string_view newText;
};
std::optional<Replacement> splitReplacementLine(std::string_view line);

} // namespace qv
