#include "platform/name_mask.h"

#include "platform/ascii.h"
#include "platform/code_page.h"

#include <unicode/uchar.h>

#include <algorithm>

namespace qv {
namespace {

// Code points of UTF-16 text; an unpaired surrogate stands for itself.
std::u32string codePoints(std::u16string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            out.push_back(unit);
        }
    }
    return out;
}

char32_t fold(char32_t c)
{
    return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
}

// u_toupper of an ASCII character, which is always ASCII.
char32_t fold(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char32_t>(c - 'a' + 'A') : static_cast<char32_t>(c);
}

// The set of mask positions reached, one bit each: masks up to 63 tokens.
class SmallStates {
public:
    explicit SmallStates(std::size_t) { }
    bool test(std::size_t p) const { return (bits_ >> p) & 1u; }
    void set(std::size_t p) { bits_ |= std::uint64_t{1} << p; }
    void clear() { bits_ = 0; }
    void swap(SmallStates& other) { std::swap(bits_, other.bits_); }

private:
    std::uint64_t bits_ = 0;
};

// The same for masks of any length.
class LargeStates {
public:
    explicit LargeStates(std::size_t size) : flags_(size, 0) { }
    bool test(std::size_t p) const { return flags_[p] != 0; }
    void set(std::size_t p) { flags_[p] = 1; }
    void clear() { std::fill(flags_.begin(), flags_.end(), 0); }
    void swap(LargeStates& other) { flags_.swap(other.flags_); }

private:
    std::vector<char> flags_;
};

constexpr std::size_t smallStatesLimit = 63;

} // namespace

NameMask::NameMask(std::string_view mask) : empty_(mask.empty())
{
    const std::u32string chars = codePoints(CodePage::gbk().toUtf16(mask));
    tokens_.reserve(chars.size());
    ascii_ = isAscii(mask) && chars.size() <= smallStatesLimit;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        const char32_t next = i + 1 < chars.size() ? chars[i + 1] : 0;
        const bool atEnd = i + 1 == chars.size();
        if (c == U'*') {
            tokens_.push_back({next == U'.' ? Kind::DosStar : Kind::Star, 0});
        } else if (c == U'?') {
            tokens_.push_back({Kind::DosQuestion, 0});
        } else if (c == U'.' && (atEnd || next == U'*' || next == U'?')) {
            tokens_.push_back({Kind::DosDot, 0});
        } else {
            tokens_.push_back({Kind::Literal, fold(c)});
        }
    }
}

bool NameMask::matches(std::string_view name) const
{
    if (empty_) return false;
    // A non-ASCII character may fold to an ASCII letter (U+0131 to "I"), so
    // only an ASCII name skips the conversion.
    if (ascii_ && isAscii(name)) return !name.empty() && run(name, SmallStates(0), SmallStates(0));
    return matches(CodePage::gbk().toUtf16(name));
}

bool NameMask::matches(std::u16string_view name16) const
{
    if (empty_ || name16.empty()) return false; // no file has an empty name
    const std::u32string name = codePoints(name16);
    if (tokens_.size() <= smallStatesLimit) return run(name, SmallStates(0), SmallStates(0));
    return run(name, LargeStates(tokens_.size() + 1), LargeStates(tokens_.size() + 1));
}

// A left-to-right simulation of the mask as a nondeterministic automaton: the
// state set holds every mask position reachable after the name characters
// read so far. Zero-width moves only go forward, so one forward pass per
// character closes the set. `name` is not empty.
template <typename Name, typename States> bool NameMask::run(const Name& name, States current, States next) const
{
    const std::size_t count = tokens_.size();
    const std::size_t lastDot = name.rfind('.');

    auto close = [&](States& set, std::size_t at) {
        const bool atEnd = at == name.size();
        for (std::size_t p = 0; p < count; ++p) {
            if (!set.test(p)) continue;
            bool skip = false;
            switch (tokens_[p].kind) {
            case Kind::Star:
            case Kind::DosStar: skip = true; break;
            case Kind::DosQuestion: skip = atEnd || name[at] == '.'; break;
            case Kind::DosDot: skip = atEnd; break;
            case Kind::Literal: break;
            }
            if (skip) set.set(p + 1);
        }
    };

    current.set(0);
    close(current, 0);
    for (std::size_t at = 0; at < name.size(); ++at) {
        next.clear();
        const auto c = name[at];
        bool any = false;
        for (std::size_t p = 0; p < count; ++p) {
            if (!current.test(p)) continue;
            const Token& token = tokens_[p];
            std::size_t to = p + 1;
            switch (token.kind) {
            case Kind::Literal:
                if (fold(c) != token.ch) continue;
                break;
            case Kind::Star: to = p; break;
            case Kind::DosStar:
                if (at == lastDot) continue;
                to = p;
                break;
            case Kind::DosQuestion:
                if (c == '.') continue;
                break;
            case Kind::DosDot:
                if (c != '.') continue;
                break;
            }
            next.set(to);
            any = true;
        }
        if (!any) return false;
        close(next, at + 1);
        current.swap(next);
    }
    return current.test(count);
}

bool matchesMask(std::string_view name, std::string_view mask)
{
    return NameMask(mask).matches(name);
}

std::u16string ntfsSortKey(std::string_view name)
{
    std::u16string key = CodePage::gbk().toUtf16(name);
    for (char16_t& unit : key) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;
        const char32_t upper = fold(static_cast<char32_t>(unit));
        if (upper <= 0xFFFF) unit = static_cast<char16_t>(upper);
    }
    return key;
}

} // namespace qv
