#pragma once
// Matching file names against a directory-search mask the way Windows'
// FindFirstFile does: "*" any run of characters, "?" one character, letters
// compared without regard to case, every other character literal ("[" too).
//
// Windows rewrites the mask before matching, and so do we:
//   - "*" directly before "." matches any run of characters that does not
//     include the name's last "."; so "*.txt" matches "a.b.txt" but not
//     "a.txt.bak", and "*.*" matches every name, with or without a dot
//     (".", ".." included);
//   - "." directly before "*" or "?", or at the end of the mask, matches a "."
//     or nothing at the end of the name; so "*." matches names without a dot;
//   - "?" matches one character other than "."; before a "." or at the end of
//     the name it may match nothing, so "a?" matches "a" and "ab", and
//     "a??.txt" matches "a.txt".
// Letters are compared by their upper-case form, one UTF-16 unit at a time,
// as NTFS does, so Greek, Cyrillic and full-width letters fold as well.
// An empty mask matches nothing, and nothing matches an empty name.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class NameMask {
public:
    // `mask` is code page 936 text.
    explicit NameMask(std::string_view mask);

    // `name` is code page 936 text. Cost: O(mask length x name length) time,
    // O(mask length) memory; no backtracking, so no input takes longer. An
    // ASCII name against an ASCII mask of fewer than 64 characters allocates
    // nothing.
    bool matches(std::string_view name) const;
    // The same for a name already in UTF-16 (an unpaired surrogate counts as
    // one character).
    bool matches(std::u16string_view name) const;

private:
    enum class Kind : std::uint8_t { Literal, Star, DosStar, DosQuestion, DosDot };
    struct Token {
        Kind kind;
        char32_t ch; // folded code point of a Literal
    };
    template <typename Name, typename States> bool run(const Name& name, States current, States next) const;

    std::vector<Token> tokens_;
    bool empty_;
    bool ascii_ = true; // the mask is ASCII: an ASCII name need not be widened
};

// One-off match; prefer a NameMask object when matching many names.
bool matchesMask(std::string_view name, std::string_view mask);

// The key NTFS orders a folder's names by: the UTF-16 form of `name` (code
// page 936) with each unit replaced by its upper-case form (surrogates stay
// as they are). Comparing two keys unit by unit gives the order in which
// that file system lists the names ("a.txt", "B.txt", "c.txt"; "Z" before
// "_" before "文").
std::u16string ntfsSortKey(std::string_view name);

} // namespace qv
