#pragma once
// Reading a size bound typed by the user.

#include <cstdint>
#include <string_view>

namespace qv {

// The decimal number in `text` truncated toward zero to a 64-bit integer.
// Accepted: blanks around, an optional sign, digits with an optional "."
// fraction, an optional exponent ("1.5e3"). Values beyond the 64-bit range
// saturate. Anything else throws RunError "'<text>' is not a valid floating
// point value". Integers are read exactly, so every 64-bit size can be a
// bound.
std::int64_t parseSizeBound(std::string_view text);

} // namespace qv
