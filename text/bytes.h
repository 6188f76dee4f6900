#pragma once
// Byte-string primitives for text in code page 936 (GBK).
//
// Every position is a 1-based byte position and every length counts bytes, a
// Chinese character being two. The primitives never split a double-byte
// character when they look for a match: a match may only begin on the first
// byte of a character. Case-insensitive comparison and lower-casing touch
// ASCII letters only, never the second byte of a double-byte character.
//
// Positions and counts are 64-bit signed so that callers may pass the raw
// results of arithmetic (negative or huge values) and get the clamping rules
// below instead of undefined behaviour.

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::text {

using Pos = std::int64_t;

// First byte of a double-byte character in code page 936.
constexpr bool isLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

// Number of bytes of the character that starts at `index` (0-based): 2 for a
// lead byte followed by another byte, otherwise 1.
inline std::size_t charLength(std::string_view s, std::size_t index)
{
    return isLeadByte(static_cast<unsigned char>(s[index])) && index + 1 < s.size() ? 2 : 1;
}

// 1-based position of the first occurrence of `needle` in `hay` that starts on
// a character boundary at or after position `from`; 0 when there is none or
// `needle` is empty. Letter case matters. Cost: O(length of hay).
Pos find(std::string_view needle, std::string_view hay, Pos from = 1);

// Like find, but ASCII letters compare without regard to case.
Pos findIgnoreCase(std::string_view needle, std::string_view hay, Pos from = 1);

// Every occurrence of `from` replaced by `to`, ASCII letters compared without
// regard to case, scanning left to right and resuming after each replacement.
// Unchanged when `from` is empty.
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);

// The length replaceAll(s, from, to) would have, found without building it.
// Cost: O(length of s), no allocation.
std::uint64_t replacedSize(std::string_view s, std::string_view from, std::string_view to);

// Do the bytes of `hay` from 0-based index `at` on match `needle`, ASCII
// letters compared without regard to case and the second byte of each of the
// needle's double-byte characters compared exactly? False when fewer than
// needle.size() bytes remain.
bool equalsIgnoreCaseAt(std::string_view hay, std::size_t at, std::string_view needle);

// The `count` bytes from position `start`. Empty when count < 1 or start is
// beyond the end; start < 1 counts as 1; count is cut to what remains.
std::string_view part(std::string_view s, Pos start, Pos count);

// Removes `count` bytes from position `start`. Nothing happens when start < 1,
// start is beyond the end or count < 1; count is cut to what remains.
void erase(std::string& s, Pos start, Pos count);

// Inserts `x` so that it begins at position `start`. start < 1 counts as 1;
// a start beyond the end appends.
void insert(std::string_view x, std::string& s, Pos start);

// ASCII letters A-Z turned into a-z, second bytes of characters left alone.
std::string lower(std::string_view s);
void lowerInPlace(std::string& s);

// Leading and trailing bytes of value 0 to 32 removed.
std::string_view trim(std::string_view s);

constexpr bool isBlank(unsigned char byte)
{
    return byte <= 32;
}

} // namespace qv::text
