#pragma once
// The strict text-to-integer conversion of the integer edit fields.

#include <cstdint>
#include <optional>
#include <string_view>

namespace qv::text {

// The value of the digit `c` in `base` (up to 16, letters in either case);
// -1 when it is none.
int digitValue(char c, int base);

// Converts `text` to a 32-bit signed integer. Accepted: optional leading
// blanks (bytes 1 to 32), an optional "+" or "-", then either decimal digits
// or a hexadecimal number introduced by "$", "x" or "0x" (letters in either
// case). Nothing may follow the digits, not even a blank.
//
// Range: a decimal number must lie in -2147483648..2147483647. A hexadecimal
// number without "-" is a 32-bit pattern and may go up to $FFFFFFFF, so
// "$FFFFFFFF" is -1 and "$80000000" is -2147483648, as users of hexadecimal
// fields expect; with "-" its magnitude may go up to $80000000. Leading zeros
// never count against the range.
//
// Returns nothing for any other text (empty, sign or prefix alone, trailing
// blanks, other bytes, out of range).
std::optional<std::int32_t> tryParseInteger(std::string_view text);

// Like tryParseInteger, but a text that does not convert throws qv::RunError
// "'<text>' is not a valid integer value" with the text as typed.
std::int32_t parseInteger(std::string_view text);

} // namespace qv::text
