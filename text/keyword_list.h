#pragma once
// The keyword list typed into one edit box: keywords separated by ";" or by
// blanks, a keyword in "^" quotes may hold blanks and ";".

#include <string>
#include <string_view>
#include <vector>

namespace qv::text {

// Splits `text` into keywords:
// - bytes of value 1 to 32 before and after a keyword are skipped, and they
//   separate keywords as ";" does: "aa bb;cc" gives aa, bb, cc;
// - an unquoted keyword runs up to the next ";" or blank, double-byte
//   characters stepped over whole;
// - a keyword that starts with "^" runs to the next "^" that is not doubled,
//   "^^" inside standing for one "^": "^a b^;cc" gives "a b", cc. A "^" that
//   is never closed makes the keyword run to the end of the text;
// - ";" with nothing before it gives an empty keyword ("aa;;cc" gives aa, "",
//   cc), and so does a ";" that is the last byte ("aa;" gives aa, "");
// - the text ends at its first NUL byte.
// Cost: one pass over the text.
std::vector<std::string> parseKeywordList(std::string_view text);

// The same rule with another delimiter and quote character; the range lists
// of delete and extract lines use "," and the double quote.
std::vector<std::string> splitDelimitedText(std::string_view text, char delimiter, char quote);

} // namespace qv::text
