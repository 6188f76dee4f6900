#pragma once
// A walk over the characters of UTF-8 text, with ICU's rules for where an
// ill-formed sequence ends, and the one character property the console needs.

#include <functional>
#include <string_view>

namespace qv {

// Calls visit(sequence, codePoint) for each character of `utf8` in order:
// `sequence` is its bytes, `codePoint` its value, or -1 for an ill-formed
// sequence (as many bytes as ICU's U8_NEXT takes for it, at least one).
// Linear in the text.
void forEachUtf8Sequence(std::string_view utf8,
                         const std::function<void(std::string_view sequence, int codePoint)>& visit);

// True for the Unicode default-ignorable code points (U+200B, U+FEFF, ...):
// characters a terminal shows as nothing.
bool isDefaultIgnorable(int codePoint);

} // namespace qv
