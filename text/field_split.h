#pragma once
// The field split: a text cut into trimmed items at one delimiter. Used for
// the search's folder list and the fields of line-pattern replace.

#include <string>
#include <string_view>
#include <vector>

namespace qv::text {

// Cuts `text` at `delimiter`:
// - an empty text gives one empty item; an empty delimiter gives the text
//   unchanged as the only item;
// - a delimiter of exactly the two characters "\t" stands for one TAB byte;
// - otherwise the text is trimmed (bytes 0 to 32), then cut at each
//   occurrence of the delimiter, every item trimmed. An empty item between
//   two delimiters stays ("a;;b" gives a, "", b); nothing is left after a
//   final delimiter ("a;" gives a); a text of blanks gives no item.
// Only the first byte of the delimiter is dropped at a cut, so the further
// bytes of a longer delimiter begin the next item. The delimiter is only
// found where a character starts, never on the second byte of a double-byte
// character.
// Cost: O(length of text x length of delimiter).
std::vector<std::string> splitFields(std::string_view text, std::string_view delimiter);

} // namespace qv::text
