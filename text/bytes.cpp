#include "text/bytes.h"

#include <algorithm>

namespace qv::text {
namespace {

constexpr unsigned char fold(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
}

// Answers "does a character start here?" for byte indexes that never decrease
// between calls, walking the text once.
class BoundaryCursor {
public:
    explicit BoundaryCursor(std::string_view s) : s_(s) { }
    bool isBoundary(std::size_t index)
    {
        while (next_ < index) next_ += charLength(s_, next_);
        return next_ == index;
    }

private:
    std::string_view s_;
    std::size_t next_ = 0;
};

// Does `needle` match `hay` at byte index `at`, ASCII letters folded? The
// needle is walked character by character so that a second byte is always
// compared exactly.
bool matchesIgnoreCase(std::string_view hay, std::size_t at, std::string_view needle)
{
    if (hay.size() - at < needle.size()) return false;
    for (std::size_t j = 0; j < needle.size();) {
        const auto n = static_cast<unsigned char>(needle[j]);
        const auto h = static_cast<unsigned char>(hay[at + j]);
        if (charLength(needle, j) == 2) {
            if (n != h || needle[j + 1] != hay[at + j + 1]) return false;
            j += 2;
        } else {
            if (fold(n) != fold(h)) return false;
            ++j;
        }
    }
    return true;
}

bool endsWithLoneLeadByte(std::string_view s)
{
    std::size_t i = 0, last = 0;
    while (i < s.size()) {
        last = i;
        i += charLength(s, i);
    }
    return !s.empty() && i - last == 1 && isLeadByte(static_cast<unsigned char>(s[last]));
}

std::size_t startIndex(Pos from)
{
    return from < 1 ? 0 : static_cast<std::size_t>(from - 1);
}

} // namespace

Pos find(std::string_view needle, std::string_view hay, Pos from)
{
    const std::size_t start = startIndex(from);
    if (needle.empty() || start > hay.size()) return 0;
    BoundaryCursor cursor(hay);
    for (auto candidate = hay.find(needle, start); candidate != std::string_view::npos;
         candidate = hay.find(needle, candidate + 1)) {
        if (cursor.isBoundary(candidate)) return static_cast<Pos>(candidate) + 1;
    }
    return 0;
}

Pos findIgnoreCase(std::string_view needle, std::string_view hay, Pos from)
{
    const std::size_t start = startIndex(from);
    if (needle.empty() || start > hay.size() || needle.size() > hay.size()) return 0;
    const unsigned char first = fold(static_cast<unsigned char>(needle[0]));
    const std::size_t lastStart = hay.size() - needle.size();
    for (std::size_t i = 0; i <= lastStart; i += charLength(hay, i)) {
        if (i >= start && fold(static_cast<unsigned char>(hay[i])) == first && matchesIgnoreCase(hay, i, needle))
            return static_cast<Pos>(i) + 1;
    }
    return 0;
}

namespace {

// The walk shared by replaceAll and replacedSize: calls onMatch() for each
// occurrence of `from` that replaceAll replaces and onCopy(bytes) for the
// bytes it keeps, in order.
template <typename OnMatch, typename OnCopy>
void forEachReplacement(std::string_view s, std::string_view from, OnMatch onMatch, OnCopy onCopy)
{
    if (from.empty() || from.size() > s.size()) {
        onCopy(s);
        return;
    }
    const unsigned char first = fold(static_cast<unsigned char>(from[0]));
    // A pattern that ends with half a character leaves the other half behind;
    // that byte is copied, never taken as the start of a new match.
    const bool splitsLastCharacter = endsWithLoneLeadByte(from);
    std::size_t i = 0;
    while (i < s.size()) {
        if (fold(static_cast<unsigned char>(s[i])) == first && matchesIgnoreCase(s, i, from)) {
            onMatch();
            i += from.size();
            if (splitsLastCharacter && i < s.size()) onCopy(s.substr(i++, 1));
            continue;
        }
        const std::size_t length = charLength(s, i);
        onCopy(s.substr(i, length));
        i += length;
    }
}

} // namespace

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to)
{
    std::string out;
    out.reserve(s.size());
    forEachReplacement(
        s, from, [&] { out.append(to); }, [&](std::string_view kept) { out.append(kept); });
    return out;
}

std::uint64_t replacedSize(std::string_view s, std::string_view from, std::string_view to)
{
    std::uint64_t matches = 0;
    forEachReplacement(
        s, from, [&] { ++matches; }, [](std::string_view) {});
    return s.size() - matches * from.size() + matches * to.size();
}

bool equalsIgnoreCaseAt(std::string_view hay, std::size_t at, std::string_view needle)
{
    return at <= hay.size() && matchesIgnoreCase(hay, at, needle);
}

std::string_view part(std::string_view s, Pos start, Pos count)
{
    if (count < 1) return {};
    if (start < 1) start = 1;
    const auto size = static_cast<Pos>(s.size());
    if (start > size) return {};
    return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(std::min(count, size - start + 1)));
}

void erase(std::string& s, Pos start, Pos count)
{
    const auto size = static_cast<Pos>(s.size());
    if (start < 1 || start > size || count < 1) return;
    s.erase(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(std::min(count, size - start + 1)));
}

void insert(std::string_view x, std::string& s, Pos start)
{
    const auto size = static_cast<Pos>(s.size());
    start = std::clamp<Pos>(start, 1, size + 1);
    s.insert(static_cast<std::size_t>(start - 1), x);
}

void lowerInPlace(std::string& s)
{
    for (std::size_t i = 0; i < s.size(); i += charLength(s, i))
        s[i] = static_cast<char>(fold(static_cast<unsigned char>(s[i])));
}

std::string lower(std::string_view s)
{
    std::string out(s);
    lowerInPlace(out);
    return out;
}

std::string_view trim(std::string_view s)
{
    std::size_t begin = 0, end = s.size();
    while (begin < end && isBlank(static_cast<unsigned char>(s[begin]))) ++begin;
    while (end > begin && isBlank(static_cast<unsigned char>(s[end - 1]))) --end;
    return s.substr(begin, end - begin);
}

} // namespace qv::text
