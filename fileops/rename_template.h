#pragma once
// The parts of a rename template that the rename operation handles itself,
// before the template evaluator sees the rest: the serial number
// ${sn(start,width)}, the list files of ${file(name)} and ${file2(name)}, and
// the lines of a replacement list.
//
// Every function here takes the template already trimmed and lower-cased,
// as the rename operation reads it; positions and lengths count bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The serial number of one run: the text "${sn(...)}" as it stands in the
// template, the next number to hand out and the width to pad to.
struct SerialNumber {
    std::string spec;
    std::int64_t next = 0; // 64-bit, so counting past 2147483647 never overflows
    std::int32_t width = 0;

    // The current number as padded text; advances the counter.
    std::string take();
};

// The first "${sn(" of the template through the first "}" after it. Start
// and width are the trimmed texts before and after the first "," inside the
// parentheses, converted as integer fields are (text/integer_field.h).
// Nothing when the template has no "${sn(". Throws qv::RunError "'<text>' is
// not a valid integer value" when start or width does not convert (a
// missing comma or a missing "}" leaves the start empty, which does not).
std::optional<SerialNumber> findSerialNumber(std::string_view loweredTemplate);

// The decimal text of `value`, padded on the left with zeros to `width`
// bytes, but with at most 16 zeros. A width not above the length of the
// digits pads nothing.
std::string paddedNumber(std::int64_t value, std::int32_t width);

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
