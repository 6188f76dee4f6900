#pragma once
// Simplified <-> Traditional Chinese character mapping of UTF-8 text, through
// OpenCC's phrase-aware tables ("s2t.json" and "t2s.json").
//
// Each table is loaded once, on first use, and shared by every thread; a
// conversion only reads it. Loading costs some tens of milliseconds, a
// conversion is linear in the text.

#include <string>
#include <string_view>

namespace qv {

// The text with Simplified characters replaced by Traditional ones, by phrase
// where the table knows the phrase (头发 -> 頭髮, 发展 -> 發展). The text ends
// at its first NUL byte; a byte sequence that is not UTF-8 becomes U+FFFD.
// Throws std::runtime_error naming the table file when OpenCC or its data is
// missing: that is a broken installation, not a user error.
std::string simplifiedToTraditional(std::string_view utf8);

// The reverse mapping, with the same rules.
std::string traditionalToSimplified(std::string_view utf8);

} // namespace qv
