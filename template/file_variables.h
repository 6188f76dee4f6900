#pragma once
// The variables a template may name for the file it is applied to, and the
// serial number ${Sn(start,width)}. The operations replace them in the
// template text before the evaluator sees the rest: rename (${filename},
// ${createdate}, ${modifydate}, ${lastdir}, the serial number), change
// extension (${ext}), line insert (${fullname}, ${filename}, the serial
// number) and insert new lines (${fullname}, ${filename}, ${createdate},
// ${modifydate}).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The values of one file, code page 936; a variable left empty (nothing) is
// not replaced and stays in the template as typed.
struct FileVariables {
    std::optional<std::string> fullname;   // ${fullname}: folder, "/", name
    std::optional<std::string> filename;   // ${filename}: as the operation defines it
    std::optional<std::string> createdate; // ${createdate}: "yyyy-mm-dd" of the created cell
    std::optional<std::string> modifydate; // ${modifydate}: "yyyy-mm-dd" of the modified cell
    std::optional<std::string> lastdir;    // ${lastdir}: the last element of the folder
    std::optional<std::string> ext;        // ${ext}: the old extension without its "."
};

// `templ` with every variable that has a value replaced, every occurrence,
// letter case ignored, in the order of the struct's members (a value that
// holds a later variable's name gets that one replaced too). Cost: one pass
// over the text per variable that is set and occurs in it.
std::string substituteFileVariables(std::string templ, const FileVariables& variables);

// "yyyy-mm-dd" of a list time cell ("yyyy-mm-dd hh:nn:ss"): its first ten
// bytes.
std::string dateOfCell(std::string_view cell);

// The serial number of one run: the text "${sn(...)}" as it stands in the
// template, the next number to hand out and the width to pad to.
struct SerialNumber {
    std::string spec;
    std::int64_t next = 0; // 64-bit, so counting past 2147483647 never overflows
    std::int32_t width = 0;

    // The current number as padded text; advances the counter.
    std::string take();
    // `templ` with every occurrence of the ${Sn(...)} token (letter case ignored)
    // replaced by take(): one number for the whole text.
    std::string replaceIn(std::string_view templ);
};

// The first "${sn(" of the template (any letter case) through the first "}"
// after it, as it stands. Start and width are the trimmed texts before and
// after the first "," inside the parentheses, converted as integer fields are
// (text/integer_field.h). Nothing when the template has no "${sn(". Throws
// qv::RunError "'<text>' is not a valid integer value" when start or width
// does not convert (a missing comma or a missing "}" leaves the start empty,
// which does not).
std::optional<SerialNumber> findSerialNumber(std::string_view templ);

// The decimal text of `value`, padded on the left with zeros to `width`
// bytes, but with at most 16 zeros. A width not above the length of the
// digits pads nothing.
std::string paddedNumber(std::int64_t value, std::int64_t width);

} // namespace qv
